#include "manifest.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "sha256.h"

namespace tvntest {

namespace {

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::string field;
    std::istringstream in(line);
    while (std::getline(in, field, '\t')) fields.push_back(field);
    return fields;
}

bool messageMatches(const std::string& expected, int got) {
    std::istringstream in(expected);
    std::string alternative;
    while (std::getline(in, alternative, '|'))
        if (std::atoi(alternative.c_str()) == got) return true;
    return false;
}

std::string bufferHash(CRGBAImage& image) {
    const TVN_DWORD* p = image.getBuffer();
    const std::size_t count = static_cast<std::size_t>(image.getWidth()) * image.getHeight();
    Sha256 h;
    for (std::size_t i = 0; i < count; ++i) {
        const unsigned char bytes[4] = {static_cast<unsigned char>(p[i]), static_cast<unsigned char>(p[i] >> 8),
                                        static_cast<unsigned char>(p[i] >> 16),
                                        static_cast<unsigned char>(p[i] >> 24)};
        h.update(bytes, 4);
    }
    return h.hexDigest();
}

// Empty when the row's outcome is right, else the reason.
std::string checkRow(const std::string& dir, const ManifestRow& row, const PixelCheck& approx) {
    MessageNumbers boxes;
    CRGBAImage image;
    const std::string file = dir + "/" + row.path;
    const int result = image.load(file.c_str(), 0);
    std::ostringstream why;
    if (row.expected == "refuse") {
        if (result) return "loaded, expected a refusal";
        if (boxes.numbers().size() != 1) {
            why << boxes.numbers().size() << " message boxes, expected one";
            return why.str();
        }
        if (!messageMatches(row.message, boxes.numbers()[0])) {
            why << "message " << boxes.numbers()[0] << ", expected " << row.message;
            return why.str();
        }
        return "";
    }
    if (!result) {
        why << "refused with message " << (boxes.numbers().empty() ? 0 : boxes.numbers()[0]);
        return why.str();
    }
    if (!boxes.numbers().empty()) return "loaded but showed a message box";
    if (image.getWidth() != row.width || image.getHeight() != row.height) {
        why << "size " << image.getWidth() << "x" << image.getHeight() << ", expected " << row.width << "x"
            << row.height;
        return why.str();
    }
    if (row.compare == "size") {
        const TVN_DWORD* p = image.getBuffer();
        for (std::size_t i = 0, n = std::size_t(row.width) * row.height; i < n; ++i)
            if ((p[i] >> 24) != 0xFF) return "alpha not 255";
        return "";
    }
    if (bufferHash(image) == row.sha256) return "";
    if (row.compare == "approx" && approx) return approx(row, image);
    return "pixels differ (hash)";
}

} // namespace

std::vector<ManifestRow> readManifest(const std::string& dir) {
    std::vector<ManifestRow> rows;
    std::ifstream in(dir + "/manifest.tsv");
    std::string line;
    std::getline(in, line); // the header
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> f = splitTabs(line);
        if (f.size() < 8) continue;
        ManifestRow row;
        row.path = f[0];
        row.format = f[1];
        row.expected = f[2];
        row.message = f[3];
        row.width = static_cast<unsigned>(std::strtoul(f[4].c_str(), nullptr, 10));
        row.height = static_cast<unsigned>(std::strtoul(f[5].c_str(), nullptr, 10));
        row.sha256 = f[6];
        row.compare = f[7];
        if (f.size() > 8) row.notes = f[8];
        rows.push_back(row);
    }
    return rows;
}

ManifestReport runManifest(const std::string& dir, const std::set<std::string>& formats, const PixelCheck& approx) {
    ManifestReport report;
    for (const ManifestRow& row : readManifest(dir)) {
        if (!formats.count(row.format)) continue;
        if (row.expected == "unsure") {
            ++report.skipped;
            continue;
        }
        const std::string why = checkRow(dir, row, approx);
        if (why.empty()) {
            ++report.passed;
        } else {
            ++report.failed;
            report.failures.push_back(row.path + ": " + why);
        }
    }
    return report;
}

} // namespace tvntest
