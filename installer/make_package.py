# Builds the Windows Installer package of the data source with wixl:
#   make_package.py --arch x64|x86 --version 1.0.0 --out PACKAGE.msi
#       --keys pavo_keys.exe --product FILE... --scanner FILE... --system FILE...
# The product files go into \TWAIN_64\PAVO\ (\TWAIN_32\PAVO\ for x86) under
# the Windows directory. The source manager goes there too, and
# pavo_keys.exe copies it into system32 unless one is there already. The virtual scanner
# is a feature of its own that is not installed unless asked for
# (ADDLOCAL=ALL or INSTALLLEVEL=2). The package writes the ZEBINFO keys a
# machine lacks through pavo_keys.exe and takes them away on removal.
import argparse
import os
import subprocess
import sys
import tempfile
from xml.sax.saxutils import quoteattr

UPGRADE_CODES = {"x64": "6D0F1E2A-3C84-4B59-9E1B-7A52C0D4F611",
                 "x86": "6D0F1E2A-3C84-4B59-9E1B-7A52C0D4F632"}
NAME = "PAVO Flatbed Scanner TWAIN Data Source"
MANUFACTURER = "Tavlen"


def ident(prefix, path):
    base = "".join(c if c.isalnum() else "_" for c in os.path.basename(path))
    return "%s_%s" % (prefix, base)


def components(files, prefix, win64):
    out = []
    for f in files:
        cid = ident(prefix, f)
        out.append('<Component Id="%s" Guid="*"%s>' % (cid, ' Win64="yes"' if win64 else ""))
        # wixl takes sources beside the .wxs; they are linked there.
        out.append('  <File Id="%s" Source=%s KeyPath="yes"/>' % (ident("F" + prefix, f),
                                                                  quoteattr(os.path.basename(f))))
        out.append("</Component>")
    return out


def wxs(args):
    win64 = args.arch == "x64"
    folder = "TWAIN_64" if win64 else "TWAIN_32"
    product = components(args.product + args.system + [args.keys], "P", win64)
    scanner = components(args.scanner, "S", win64)
    manager = " ".join(os.path.basename(f) for f in args.system)
    ref = lambda files, p: ['<ComponentRef Id="%s"/>' % ident(p, f) for f in files]
    keys_file = ident("FP", args.keys)
    lines = ['<?xml version="1.0" encoding="utf-8"?>',
             '<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">',
             '<Product Id="*" Name=%s Language="1033" Version="%s" Manufacturer=%s UpgradeCode="%s">'
             % (quoteattr(NAME), args.version, quoteattr(MANUFACTURER), UPGRADE_CODES[args.arch]),
             '<Package InstallerVersion="200" Compressed="yes" InstallScope="perMachine" Description=%s/>'
             % quoteattr(NAME),
             '<Media Id="1" Cabinet="pavo.cab" EmbedCab="yes"/>',
             '<MajorUpgrade DowngradeErrorMessage="A newer version of the data source is installed."/>',
             '<Directory Id="TARGETDIR" Name="SourceDir">',
             '<Directory Id="WindowsFolder">',
             '<Directory Id="TWAINFOLDER" Name="%s">' % folder,
             '<Directory Id="INSTALLDIR" Name="PAVO">']
    lines += product + scanner
    lines += ['</Directory>', '</Directory>', '</Directory>', '</Directory>',
              '<CustomAction Id="WriteZebinfo" FileKey="%s" ExeCommand="install %s %s" Execute="deferred" '
              'Impersonate="no" Return="check"/>' % (keys_file, args.version, manager),
              '<CustomAction Id="RemoveZebinfo" FileKey="%s" ExeCommand="remove" Execute="deferred" '
              'Impersonate="no" Return="ignore"/>' % keys_file,
              '<InstallExecuteSequence>',
              '<Custom Action="WriteZebinfo" Sequence="4100">NOT REMOVE</Custom>',
              '<Custom Action="RemoveZebinfo" Sequence="3400">REMOVE="ALL" AND NOT UPGRADINGPRODUCTCODE</Custom>',
              '</InstallExecuteSequence>',
              '<Feature Id="DataSource" Title="Data source" Level="1">']
    lines += ref(args.product + args.system + [args.keys], "P")
    lines += ['</Feature>',
              '<Feature Id="VirtualScanner" Title="Virtual scanner for a demonstration" Level="2">']
    lines += ref(args.scanner, "S")
    lines += ['</Feature>', '</Product>', '</Wix>']
    return "\n".join(lines) + "\n"


def main():
    p = argparse.ArgumentParser()
    p.add_argument("--arch", choices=["x64", "x86"], required=True)
    p.add_argument("--version", required=True)
    p.add_argument("--out", required=True)
    p.add_argument("--keys", required=True)
    p.add_argument("--product", nargs="*", default=[])
    p.add_argument("--scanner", nargs="*", default=[])
    p.add_argument("--system", nargs="*", default=[])
    args = p.parse_args()
    with tempfile.TemporaryDirectory() as tmp:
        for f in args.product + args.system + args.scanner + [args.keys]:
            os.symlink(os.path.abspath(f), os.path.join(tmp, os.path.basename(f)))
        source = os.path.join(tmp, "pavo.wxs")
        with open(source, "w", encoding="utf-8") as f:
            f.write(wxs(args))
        out = os.path.abspath(args.out)
        rc = subprocess.run(["wixl", "-a", args.arch, "-o", out, "pavo.wxs"], cwd=tmp).returncode
    sys.exit(rc)


if __name__ == "__main__":
    main()
