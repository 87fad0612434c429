// The command line of twacquire.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace twacquire {

enum class Command { Help, List, Caps, Acquire };

enum class Mode { LineArt, Halftone, Gray, Color };
enum class Mechanism { Native, Memory, File };
enum class FileFormat { Tiff, Bmp, Png, Jpeg, Pdf };
enum class Units { Inches, Centimetres, Millimetres, Pixels };

struct Frame {
    double left = 0, top = 0, right = 0, bottom = 0;
};

struct Options {
    Command command = Command::Help;
    std::string source;                                    // empty: the manager's default
    std::vector<std::pair<std::string, std::string>> sets;  // --set CAP=VALUE, in order
    std::optional<Mode> mode;
    std::optional<double> resolution;
    std::optional<Frame> frame;
    Units units = Units::Inches;
    std::optional<Mechanism> mechanism;
    std::optional<FileFormat> format;  // unset: from the output name's extension
    int jpegQuality = 90;              // 1 to 100, for JPEG files and JPEG pages of a PDF
    bool pdfJpeg = false;              // PDF pages of grey and colour as JPEG, not Flate
    bool planar = false;
    bool showUi = false;
    int count = 1;       // images to take; 0 with --batch: until the feeder is empty
    bool batch = false;  // feeder batch
    bool quiet = false;  // no progress bar
    std::string output;  // may hold a %d pattern
};

struct ParsedArguments {
    bool ok = false;
    Options options;
    std::string error;  // what is wrong when !ok
};

// Parses the arguments after the program name.
ParsedArguments ParseArguments(const std::vector<std::string>& args);

// The file format an output name asks for by its extension (.tif, .tiff,
// .bmp, .png, .jpg, .jpeg, .pdf, any case), if any.
std::optional<FileFormat> FormatOfName(const std::string& name);

// Whether all the images go into one file: several are asked for and the
// output name has no number field (the format is then TIFF or PDF).
bool OneFileForAllImages(const Options& options);

// "TIFF", "BMP", "PNG", "JPEG", "PDF".
const char* FormatName(FileFormat format);

// The text printed by --help.
std::string UsageText();

}  // namespace twacquire
