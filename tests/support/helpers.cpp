#include "helpers.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <cstring>
#include <fstream>
#include <map>
#include <random>

#include "image/image_access.h"
#include "pixel/heap.h"
#include "pixel/module_start.h"
#include "platform/platform.h"
#include "platform/testing/test_environment.h"

namespace tvntest {

// Message n of resources/messages.inc as the library must hold it: UTF-8 on
// POSIX, the system ANSI code page on Windows (what LoadStringA gives).
std::string MessageRecorder::expectedText(int n) {
    static const std::map<int, std::string> texts = {
#define TVN_MESSAGE(n, name, text) {n, text},
#include "resources/messages.inc"
#undef TVN_MESSAGE
    };
    const std::string& utf8 = texts.at(n);
#if defined(_WIN32)
    int wlen = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(wlen), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, &wide[0], wlen);
    int alen = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<size_t>(alen), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &ansi[0], alen, nullptr, nullptr);
    ansi.resize(ansi.size() ? ansi.size() - 1 : 0);
    return ansi;
#else
    return utf8;
#endif
}

MessageRecorder::MessageRecorder() {
    tvnSetMessageProc(&MessageRecorder::record, this);
}

MessageRecorder::~MessageRecorder() {
    tvnSetMessageProc(&stderrSink, nullptr);
}

void TVN_CDECL stderrSink(const char* text, const char* caption, void*) {
    std::fprintf(stderr, "[message box] %s: %s\n", caption, text);
}

void TVN_CDECL MessageRecorder::record(const char* text, const char* caption, void* user) {
    int number = 0;
    for (int n = 1; n <= tvn::pixel::kMessageCount && !number; ++n)
        if (text == tvn::pixel::messageText(n)) number = n;
    static_cast<MessageRecorder*>(user)->m_boxes.push_back({text ? text : "", caption ? caption : "", number});
}

std::vector<int> MessageRecorder::numbers() const {
    std::vector<int> out;
    for (const Box& box : m_boxes) out.push_back(box.number);
    return out;
}

MemoryFile::MemoryFile(const std::string& name, const std::vector<unsigned char>& bytes) : m_path("mem/" + name) {
    tvn::plat::testing::memoryFileAdd(m_path.c_str(), bytes.data(), bytes.size());
}

MemoryFile::~MemoryFile() {
    tvn::plat::testing::memoryFileRemove(m_path.c_str());
}

TempFile::TempFile(const std::string& name) {
    static unsigned counter = 0;
    m_path = std::filesystem::temp_directory_path().string() + "/tivorn_test_" + std::to_string(reinterpret_cast<std::uintptr_t>(this) & 0xFFFFFF) + "_" +
             std::to_string(++counter) + "_" + name;
    std::remove(m_path.c_str());
}

TempFile::~TempFile() {
    std::remove(m_path.c_str());
}

void TempFile::write(const std::vector<unsigned char>& bytes) const {
    std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<unsigned char> TempFile::read() const {
    return readFileBytes(m_path);
}

std::vector<unsigned char> readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool fileExists(const std::string& path) {
    return std::ifstream(path).good();
}

int readWith(int (*reader)(CRGBAImage&, HANDLE), CRGBAImage& image, const std::vector<unsigned char>& bytes,
             std::vector<int>* messages) {
    static unsigned counter = 0;
    const std::string name = "mem/reader_input_" + std::to_string(++counter);
    tvn::plat::testing::memoryFileAdd(name.c_str(), bytes.data(), bytes.size());
    HANDLE file = tvn::plat::fileOpenRead(name.c_str());
    MessageRecorder boxes;
    const int result = reader(image, file);
    tvn::plat::fileClose(file);
    tvn::plat::testing::memoryFileRemove(name.c_str());
    if (messages) *messages = boxes.numbers();
    return result;
}

std::vector<unsigned char> packed(CRGBAImage& image) {
    unsigned char* stream = nullptr;
    const TVN_DWORD length = image.compressRLE(&stream);
    std::vector<unsigned char> bytes(stream, stream + (stream ? length : 0));
    CRGBAImage::freeRLEBuffer(stream);
    return bytes;
}

std::string testdataDir() {
    std::string dir = TIVORN_TESTDATA_DIR;
    if (const char* env = std::getenv("TIVORN_TESTDATA")) dir = env;
    std::ifstream probe(dir + "/manifest.tsv");
    return probe.good() ? dir : std::string();
}

std::vector<TVN_DWORD> randomPixels(TVN_DWORD width, TVN_DWORD height, unsigned seed, bool smooth) {
    std::mt19937 rng(seed);
    std::vector<TVN_DWORD> px(static_cast<std::size_t>(width) * height);
    if (!smooth) {
        for (auto& p : px) p = static_cast<TVN_DWORD>(rng());
        return px;
    }
    // Gradients with a little noise and some flat areas, like a photograph.
    std::uniform_int_distribution<int> noise(-6, 6);
    for (TVN_DWORD y = 0; y < height; ++y)
        for (TVN_DWORD x = 0; x < width; ++x) {
            auto clamp = [](int v) { return static_cast<unsigned char>(v < 0 ? 0 : v > 255 ? 255 : v); };
            int r = static_cast<int>(x * 255 / (width ? width : 1)) + noise(rng);
            int g = static_cast<int>(y * 255 / (height ? height : 1)) + noise(rng);
            int b = ((x / 16 + y / 16) % 2) ? 200 : 40;
            px[static_cast<std::size_t>(y) * width + x] = tvnRGBA(clamp(r), clamp(g), clamp(b), 255);
        }
    return px;
}

std::vector<TVN_DWORD> pixelsOf(CRGBAImage& image) {
    const TVN_DWORD* p = image.getBuffer();
    if (!p) return {};
    return std::vector<TVN_DWORD>(p, p + static_cast<std::size_t>(image.getWidth()) * image.getHeight());
}

std::vector<TVN_DWORD> sizesOf(CRGBAImage& image) {
    return {image.getWidth(), image.getHeight(), image.getWidthOrig(), image.getHeightOrig()};
}

std::vector<TVN_DWORD> resized(const std::vector<TVN_DWORD>& px, TVN_DWORD w, TVN_DWORD h, TVN_DWORD nw, TVN_DWORD nh,
                               int filter) {
    CRGBAImage image(px.data(), w, h);
    EXPECT_EQ(image.setSize(nw, nh, filter, nullptr, nullptr), 1);
    EXPECT_EQ(sizesOf(image), (std::vector<TVN_DWORD>{nw, nh, w, h}));
    return pixelsOf(image);
}

Snapshot snapshot(CRGBAImage& i) {
    using A = tvn::ImageAccess;
    using Bytes = std::vector<unsigned char>;
    using Words = std::vector<TVN_DWORD>;
    const std::size_t n = std::size_t(i.getWidthOrig()) * i.getHeightOrig();
    const TVN_DWORD* o = A::origBuffer(i);
    const unsigned char *a = A::savedAlpha(i), *t = reinterpret_cast<const unsigned char*>(&i.getTransparency());
    return {{pixelsOf(i), o ? Words(o, o + n) : Words(), a ? Bytes(a, a + n) : Bytes(),
             sizesOf(i)},
            {i.getFileName(), i.getMaskFileName(),
             {i.containsAlpha(), static_cast<int>(i.getBlurKrnlSize()), A::resizeFilter(i)},
             Bytes(t, t + sizeof(IMG_TRANSP))}};
}

void giveUntouchedCopy(CRGBAImage& image, TVN_DWORD ow, TVN_DWORD oh, unsigned seed) {
    const std::vector<TVN_DWORD> orig = randomPixels(ow, oh, seed);
    TVN_DWORD* o = static_cast<TVN_DWORD*>(tvn::pixel::heapAlloc(orig.size() * 4));
    unsigned char* a = static_cast<unsigned char*>(tvn::pixel::heapAlloc(orig.size()));
    std::memcpy(o, orig.data(), orig.size() * 4);
    for (std::size_t i = 0; i < orig.size(); ++i) a[i] = static_cast<unsigned char>(orig[i] >> 24);
    tvn::ImageAccess::origBuffer(image) = o;
    tvn::ImageAccess::savedAlpha(image) = a;
    tvn::ImageAccess::widthOrig(image) = ow;
    tvn::ImageAccess::heightOrig(image) = oh;
}

} // namespace tvntest
