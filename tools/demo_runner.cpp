// The demo's frame: finding the pictures, timing each step, writing its PNG.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "demo.h"
#include "png_writer.h"

namespace fs = std::filesystem;

namespace cli {

const char* const kDemoPictures[5] = {"scene.bmp", "alpha.tga", "greenscreen.bmp", "interlaced.gif", "photo.jpg"};

bool holdsDemoPictures(const std::string& folder) {
    const fs::path dir(folder);
    std::error_code ec;
    for (const char* name : kDemoPictures)
        if (!fs::is_regular_file(dir / name, ec))
            return false;
    return true;
}

namespace {

fs::path executableDir(const char* argv0) {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec); // Linux; elsewhere argv[0]
    if (ec || self.empty())
        self = fs::absolute(fs::path(argv0 ? argv0 : ""), ec);
    return self.parent_path();
}

} // namespace

std::string findDemoPictures(const char* argv0) {
    const fs::path bin = executableDir(argv0);
    const fs::path candidates[] = {
        bin.parent_path() / TIVORN_DATADIR / "tivorn" / "demo-pictures", // installed
        bin / "demo-pictures",
        fs::path(TIVORN_SOURCE_PICTURES), // the build tree of a checkout
    };
    for (const fs::path& dir : candidates)
        if (holdsDemoPictures(dir.string()))
            return dir.string();
    return std::string();
}

CDemo::CDemo(const std::string& pictures, const std::string& out, bool quiet)
    : m_strPictures(pictures), m_strOut(out), m_bQuiet(quiet), m_progress(quiet) {}

std::string CDemo::picture(const char* name) const {
    return (fs::path(m_strPictures) / name).string();
}

bool CDemo::shot(const char* file, const char* title, const char* source, const std::string& note,
                 const DemoOperation& op) {
    if (interruptRequested())
        return false;
    CRGBAImage image;
    DEMO_SHOT result{file, title, note, 0, 0, 0.0, false};
    const unsigned mark = messageCount();
    const auto start = std::chrono::steady_clock::now();
    bool ok = loadPicture(image, picture(source));
    const auto opStart = std::chrono::steady_clock::now();
    if (ok && op && !op(image, m_progress, result.note)) {
        ok = false;
        if (!interruptRequested())
            reportOnce(mark, std::string("demo step '") + title + "' failed");
    }
    if (interruptRequested())
        return false;
    if (!ok) {
        result.failed = true;
        result.note = lastLine();
        ++m_nFailures;
        m_shots.push_back(result);
        return true;
    }
    const auto end = std::chrono::steady_clock::now();
    result.ms = std::chrono::duration<double, std::milli>(end - (op ? opStart : start)).count();
    result.width = image.getWidth();
    result.height = image.getHeight();
    std::string why;
    const std::string path = (fs::path(m_strOut) / file).string();
    // Over a checkerboard, so that transparency shows in the page.
    if (!writePng(path, image.getBuffer(), image.getWidth(), image.getHeight(), true, why)) {
        error(path + ": " + why);
        return false;
    }
    if (!m_bQuiet) {
        std::printf("  %-26s %4ux%-4u %10s  %s\n", file, result.width, result.height,
                    formatMs(result.ms).c_str(), title);
        std::fflush(stdout);
    }
    m_shots.push_back(result);
    return true;
}

} // namespace cli
