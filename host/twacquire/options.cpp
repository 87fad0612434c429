#include "host/twacquire/options.h"

#include "host/twacquire/output_name.h"

#include <cctype>
#include <charconv>
#include <cstdlib>

namespace twacquire {

namespace {

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::optional<double> ParseNumber(const std::string& text) {
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size()) return std::nullopt;
    return value;
}

std::optional<int> ParseCount(const std::string& text) {
    int value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 1) return std::nullopt;
    return value;
}

// A format by its name or extension, in lower case.
std::optional<FileFormat> FormatOfExtension(const std::string& ext) {
    if (ext == "tif" || ext == "tiff") return FileFormat::Tiff;
    if (ext == "bmp") return FileFormat::Bmp;
    if (ext == "png") return FileFormat::Png;
    if (ext == "jpg" || ext == "jpeg") return FileFormat::Jpeg;
    if (ext == "pdf") return FileFormat::Pdf;
    return std::nullopt;
}

std::optional<Frame> ParseFrame(const std::string& text) {
    double v[4];
    size_t start = 0;
    for (int i = 0; i < 4; ++i) {
        const size_t comma = text.find(',', start);
        if ((i < 3) == (comma == std::string::npos)) return std::nullopt;
        const std::optional<double> n =
            ParseNumber(text.substr(start, i < 3 ? comma - start : std::string::npos));
        if (!n) return std::nullopt;
        v[i] = *n;
        start = comma + 1;
    }
    if (v[0] < 0 || v[1] < 0 || v[2] <= v[0] || v[3] <= v[1]) return std::nullopt;
    return Frame{v[0], v[1], v[2], v[3]};
}

// The options that take a value, and what they do with it; false and an
// error when the value is wrong.
bool TakeValue(const std::string& name, const std::string& value, Options& o, std::string& error) {
    const std::string v = Lower(value);
    if (name == "--source" || name == "-s") {
        o.source = value;
    } else if (name == "--set") {
        const size_t equals = value.find('=');
        if (equals == std::string::npos || equals == 0 || equals + 1 == value.size()) {
            error = "--set wants CAP=VALUE, not '" + value + "'";
            return false;
        }
        o.sets.emplace_back(value.substr(0, equals), value.substr(equals + 1));
    } else if (name == "--mode" || name == "-m") {
        if (v == "lineart") o.mode = Mode::LineArt;
        else if (v == "halftone") o.mode = Mode::Halftone;
        else if (v == "gray" || v == "grey") o.mode = Mode::Gray;
        else if (v == "color" || v == "colour") o.mode = Mode::Color;
        else {
            error = "--mode is one of lineart, halftone, gray, color; not '" + value + "'";
            return false;
        }
    } else if (name == "--resolution" || name == "-r") {
        const std::optional<double> dpi = ParseNumber(value);
        if (!dpi || *dpi <= 0) {
            error = "--resolution wants dots per inch, not '" + value + "'";
            return false;
        }
        o.resolution = dpi;
    } else if (name == "--frame") {
        o.frame = ParseFrame(value);
        if (!o.frame) {
            error = "--frame wants LEFT,TOP,RIGHT,BOTTOM with right > left and bottom > top, not '" +
                    value + "'";
            return false;
        }
    } else if (name == "--units") {
        if (v == "in") o.units = Units::Inches;
        else if (v == "cm") o.units = Units::Centimetres;
        else if (v == "mm") o.units = Units::Millimetres;
        else if (v == "px") o.units = Units::Pixels;
        else {
            error = "--units is one of in, cm, mm, px; not '" + value + "'";
            return false;
        }
    } else if (name == "--xfer" || name == "-x") {
        if (v == "native") o.mechanism = Mechanism::Native;
        else if (v == "memory") o.mechanism = Mechanism::Memory;
        else if (v == "file") o.mechanism = Mechanism::File;
        else {
            error = "--xfer is one of native, memory, file; not '" + value + "'";
            return false;
        }
    } else if (name == "--format" || name == "-f") {
        o.format = FormatOfExtension(v);
        if (!o.format) {
            error = "--format is one of png, jpeg, tiff, bmp, pdf; not '" + value + "'";
            return false;
        }
    } else if (name == "--jpeg-quality") {
        const std::optional<int> q = ParseCount(value);
        if (!q || *q > 100) {
            error = "--jpeg-quality wants a number from 1 to 100, not '" + value + "'";
            return false;
        }
        o.jpegQuality = *q;
    } else if (name == "--count" || name == "-n") {
        const std::optional<int> n = ParseCount(value);
        if (!n) {
            error = "--count wants a number of images from 1 up, not '" + value + "'";
            return false;
        }
        o.count = *n;
    } else if (name == "--output" || name == "-o") {
        o.output = value;
    }
    return true;
}

// The output format against the rest of the command line. Several images
// in one file are pages of a TIFF or a PDF, which then is the format even
// for a native transfer; a file transfer is written by the source itself,
// one TIFF or BMP file an image.
bool CheckFormat(Options& o, std::string& error) {
    const std::optional<FileFormat> format = o.format ? o.format : FormatOfName(o.output);
    if (OneFileForAllImages(o)) {
        if (format && *format != FileFormat::Tiff && *format != FileFormat::Pdf) {
            error = std::string("several images in one file need tiff or pdf, not ") +
                    FormatName(*format) + "; or a %d in the output name, as in page%d.png";
            return false;
        }
        o.format = format.value_or(FileFormat::Tiff);
    }
    if (o.mechanism == Mechanism::File) {
        if (format && *format != FileFormat::Tiff && *format != FileFormat::Bmp) {
            error = std::string("--xfer file writes tiff or bmp (the source writes the file), not ") +
                    FormatName(*format);
            return false;
        }
        if (OneFileForAllImages(o)) {
            error = "--xfer file writes one file an image: give a %d in the output name";
            return false;
        }
    }
    if (o.pdfJpeg && format != FileFormat::Pdf) {
        error = "--pdf-jpeg is for pdf output";
        return false;
    }
    return true;
}

bool TakesValue(const std::string& arg) {
    for (const char* name : {"--source", "-s", "--set", "--mode", "-m", "--resolution", "-r",
                             "--frame", "--units", "--xfer", "-x", "--format", "-f", "--count",
                             "-n", "--output", "-o", "--jpeg-quality"})
        if (arg == name) return true;
    return false;
}

}  // namespace

std::optional<FileFormat> FormatOfName(const std::string& name) {
    const size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || name.find_first_of("/\\", dot) != std::string::npos)
        return std::nullopt;
    return FormatOfExtension(Lower(name.substr(dot + 1)));
}

bool OneFileForAllImages(const Options& o) {
    return (o.batch || o.count != 1) && !HasNumberField(o.output);
}

const char* FormatName(FileFormat format) {
    switch (format) {
    case FileFormat::Tiff: return "TIFF";
    case FileFormat::Bmp: return "BMP";
    case FileFormat::Png: return "PNG";
    case FileFormat::Jpeg: return "JPEG";
    case FileFormat::Pdf: return "PDF";
    }
    return "?";
}

ParsedArguments ParseArguments(const std::vector<std::string>& args) {
    ParsedArguments parsed;
    Options& o = parsed.options;
    if (args.empty()) {
        parsed.error = "no command given";
        return parsed;
    }
    bool list = false, help = false, caps = false, countGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--list" || arg == "-l") {
            list = true;
        } else if (arg == "--help" || arg == "-h" || arg == "/?") {
            help = true;
        } else if (arg == "--caps") {
            caps = true;
        } else if (arg == "--planar") {
            o.planar = true;
        } else if (arg == "--ui") {
            o.showUi = true;
        } else if (arg == "--batch" || arg == "-b") {
            o.batch = true;
        } else if (arg == "--quiet" || arg == "-q") {
            o.quiet = true;
        } else if (arg == "--pdf-jpeg") {
            o.pdfJpeg = true;
        } else if (TakesValue(arg)) {
            if (i + 1 == args.size()) {
                parsed.error = arg + " needs a value";
                return parsed;
            }
            if (arg == "--count" || arg == "-n") countGiven = true;
            if (!TakeValue(arg, args[++i], o, parsed.error)) return parsed;
        } else {
            parsed.error = "unknown argument '" + arg + "'";
            return parsed;
        }
    }
    const bool acquire = !o.output.empty();
    if (list + help + caps + acquire > 1) {
        parsed.error = "give only one of --list, --help, --caps and -o OUTPUT";
        return parsed;
    }
    if (help) o.command = Command::Help;
    else if (list) o.command = Command::List;
    else if (caps) o.command = Command::Caps;
    else if (acquire) o.command = Command::Acquire;
    else {
        parsed.error = "nothing to do: give --list, --caps or -o OUTPUT";
        return parsed;
    }
    if (o.batch && !countGiven) o.count = 0;
    if (acquire && !CheckFormat(o, parsed.error)) return parsed;
    if (acquire && !ValidPattern(o.output)) {
        parsed.error = "the output name '" + o.output +
                       "' has a % that is neither %d, %Nd, %0Nd nor %%";
        return parsed;
    }
    parsed.ok = true;
    return parsed;
}

std::string UsageText() {
    return "Usage: twacquire --list\n"
           "       twacquire --caps [--source NAME] [--set CAP=VALUE]...\n"
           "       twacquire -o OUTPUT [OPTIONS]\n"
           "\n"
           "A TWAIN host: talks to TWAIN data sources through the source manager.\n"
           "\n"
           "Commands:\n"
           "  --list, -l            print the identity of every installed data source\n"
           "  --caps                print every capability the source answers: type,\n"
           "                        current value, default and the values offered\n"
           "  -o, --output OUTPUT   acquire into OUTPUT; %d (or %03d) in the name\n"
           "                        numbers the images of a batch from 1; without\n"
           "                        it a batch goes into one TIFF or PDF, a page an image\n"
           "  --help, -h            print this text\n"
           "\n"
           "Options:\n"
           "  -s, --source NAME     the source with this product name (default: the\n"
           "                        source manager's default source)\n"
           "  --set CAP=VALUE       set any capability, by TWAIN name (ICAP_CONTRAST,\n"
           "                        or CONTRAST) or number (0x1103); the value in the\n"
           "                        type the source reports: integers, names such as\n"
           "                        TWPT_RGB, TRUE/FALSE, decimals for FIX32\n"
           "  -m, --mode MODE       lineart, halftone, gray or color\n"
           "  -r, --resolution DPI  resolution in dots per inch\n"
           "  --frame L,T,R,B       the area to scan, from the top left corner\n"
           "  --units UNIT          unit of --frame: in (default), cm, mm or px\n"
           "  -x, --xfer MECH       native (a bitmap), memory (strips; the default)\n"
           "                        or file (the source writes OUTPUT itself)\n"
           "  -f, --format FMT      png, jpeg, tiff, bmp or pdf (default: from OUTPUT's\n"
           "                        extension, else tiff; bmp for native transfers)\n"
           "  --jpeg-quality N      JPEG quality from 1 to 100 (default 90)\n"
           "  --pdf-jpeg            PDF pages of grey and colour as JPEG (for photos;\n"
           "                        default: lossless Flate)\n"
           "  --planar              ask for colour as three planes (memory transfer)\n"
           "  --ui                  use the source's setup window and wait for the user\n"
           "  -n, --count N         take N images (from the document feeder; with --ui,\n"
           "                        as many scans as the user makes, up to N)\n"
           "  -b, --batch           take pages from the document feeder until it is empty\n"
           "                        (with --ui: until the setup window is closed)\n"
           "  -q, --quiet           no progress bar\n"
           "\n"
           "Without --ui, message boxes that the source shows are reported on the\n"
           "error output and answered with their default button.\n"
           "\n"
           "Exit status:\n"
           "  0 done\n"
           "  1 wrong command line\n"
           "  2 the source manager cannot be loaded or opened\n"
           "  3 no data source found (none installed, or none by the name given)\n"
           "  4 the source cannot be opened or enabled\n"
           "  5 the source refused a capability or a setting\n"
           "  6 cancelled by the user\n"
           "  7 device condition: the scan or the transfer failed\n"
           "  8 the output file cannot be written\n";
}

}  // namespace twacquire
