#include "host/twacquire/pdf_writer.h"

#include <cmath>
#include <cstdio>

namespace twacquire {

namespace {

// Objects 1 and 2 are the catalogue and the page tree, written at the end;
// 3 is the document information. Page k (from 0) is objects 4 + 3k (the
// page), 5 + 3k (its contents) and 6 + 3k (its image).
constexpr uint32_t kCatalog = 1, kPageTree = 2, kInfo = 3, kFirstPage = 4;

void Append(std::vector<uint8_t>& out, const std::string& text) {
    out.insert(out.end(), text.begin(), text.end());
}

std::string Ref(uint32_t number) { return std::to_string(number) + " 0 R"; }

}  // namespace

std::string PdfPoints(uint32_t pixels, double dpi) {
    const double points = dpi > 0 ? pixels * 72.0 / dpi : pixels;
    // Two decimals: a hundredth of a point is far below a pixel.
    const double rounded = std::round(points * 100) / 100;
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", rounded);
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
}

void PdfWriter::Begin(std::vector<uint8_t>& out, uint32_t number) {
    if (offsets_.size() < number) offsets_.resize(number, 0);
    offsets_[number - 1] = written_ + out.size();
    Append(out, std::to_string(number) + " 0 obj\n");
}

std::vector<uint8_t> PdfWriter::Header() {
    std::vector<uint8_t> out;
    Append(out, "%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
    Written(out);
    return out;
}

std::vector<uint8_t> PdfWriter::Page(const PdfImage& image) {
    std::vector<uint8_t> out;
    const uint32_t page = kFirstPage + 3 * static_cast<uint32_t>(pageObjects_.size());
    const std::string w = PdfPoints(image.width, image.xDpi);
    const std::string h = PdfPoints(image.height, image.yDpi);

    Begin(out, page);
    Append(out, "<< /Type /Page /Parent " + Ref(kPageTree) + " /MediaBox [0 0 " + w + " " + h +
                    "]\n   /Resources << /XObject << /Im0 " + Ref(page + 2) +
                    " >> /ProcSet [/PDF /ImageB /ImageC] >>\n   /Contents " + Ref(page + 1) +
                    " >>\nendobj\n");

    const std::string contents = "q " + w + " 0 0 " + h + " 0 0 cm /Im0 Do Q\n";
    Begin(out, page + 1);
    Append(out, "<< /Length " + std::to_string(contents.size()) + " >>\nstream\n" + contents +
                    "endstream\nendobj\n");

    Begin(out, page + 2);
    std::string dict = "<< /Type /XObject /Subtype /Image /Width " + std::to_string(image.width) +
                       " /Height " + std::to_string(image.height) + " /ColorSpace " +
                       (image.colour ? "/DeviceRGB" : "/DeviceGray") + " /BitsPerComponent " +
                       std::to_string(image.bitsPerComponent);
    if (image.inverted) dict += " /Decode [1 0]";
    dict += "\n   /Filter /" + image.filter;
    dict += " /Length " + std::to_string(image.data.size()) + " >>\nstream\n";
    Append(out, dict);
    out.insert(out.end(), image.data.begin(), image.data.end());
    Append(out, "\nendstream\nendobj\n");

    pageObjects_.push_back(page);
    Written(out);
    return out;
}

std::vector<uint8_t> PdfWriter::End() {
    std::vector<uint8_t> out;
    Begin(out, kPageTree);
    std::string kids;
    for (uint32_t page : pageObjects_) kids += (kids.empty() ? "" : " ") + Ref(page);
    Append(out, "<< /Type /Pages /Kids [" + kids + "] /Count " + std::to_string(Pages()) +
                    " >>\nendobj\n");
    Begin(out, kCatalog);
    Append(out, "<< /Type /Catalog /Pages " + Ref(kPageTree) + " >>\nendobj\n");
    Begin(out, kInfo);
    Append(out, "<< /Producer (twacquire) >>\nendobj\n");

    const uint64_t xref = written_ + out.size();
    const size_t objects = offsets_.size() + 1;
    Append(out, "xref\n0 " + std::to_string(objects) + "\n0000000000 65535 f \n");
    for (uint64_t offset : offsets_) {
        char entry[24];
        std::snprintf(entry, sizeof entry, "%010llu 00000 n \n",
                      static_cast<unsigned long long>(offset));
        Append(out, entry);
    }
    Append(out, "trailer\n<< /Size " + std::to_string(objects) + " /Root " + Ref(kCatalog) +
                    " /Info " + Ref(kInfo) + " >>\nstartxref\n" + std::to_string(xref) +
                    "\n%%EOF\n");
    Written(out);
    return out;
}

}  // namespace twacquire
