// The real properties dialog under a message loop: a second thread finds it,
// types, clicks and slides as a user would, photographs it and presses OK or
// Cancel, while the test thread sits in showProperties.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "image/image_access.h"
#include "pixel/module_start.h"
#include "platform/platform.h"
#include "resources/dialog_ids.h"
#include "support/helpers.h"

namespace {

const int kFilter = CRGBAImage::BilinearFilter;
std::string g_screenshot = "properties_dialog.png";

// The first visible top-level window of thread that matches, waiting up to 20 s.
HWND waitForWindow(DWORD thread, const std::function<bool(HWND)>& match) {
    struct Search { const std::function<bool(HWND)>* match; HWND found; } search = {&match, nullptr};
    for (int i = 0; i < 400 && !search.found; ++i, Sleep(50))
        EnumThreadWindows(thread, [](HWND w, LPARAM p) -> BOOL {
            Search* s = reinterpret_cast<Search*>(p);
            if (IsWindowVisible(w) && (*s->match)(w)) s->found = w;
            return !s->found;
        }, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring title(HWND w) {
    wchar_t text[128] = {0};
    GetWindowTextW(w, text, 128);
    return text;
}

std::string itemText(HWND dialog, int id) {
    char text[260] = {0};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void type(HWND dialog, int id, const char* text) {
    HWND edit = GetDlgItem(dialog, id);
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE); // the focus, as a click gives
    SendMessageA(edit, EM_SETSEL, 0, -1);
    for (; *text; ++text) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(*text), 0);
}

void click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

void writePng(const std::string& path, const std::vector<unsigned char>& rgb, int width, int height) {
    auto big = [](std::string& s, uLong v) { for (int b = 24; b >= 0; b -= 8) s += static_cast<char>((v >> b) & 0xFF); };
    auto chunk = [&](std::string& out, const char* type, const std::string& data) {
        std::string body = type + data;
        big(out, data.size());
        out += body;
        big(out, crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
    };
    std::string raw, header, png = "\x89PNG\r\n\x1a\n";
    for (int y = 0; y < height; ++y) raw += '\0' + std::string(rgb.begin() + y * width * 3, rgb.begin() + (y + 1) * width * 3);
    std::vector<Bytef> packed(compressBound(raw.size()));
    uLongf size = packed.size();
    compress(packed.data(), &size, reinterpret_cast<const Bytef*>(raw.data()), raw.size());
    big(header, width);
    big(header, height);
    header += std::string("\x08\x02\0\0\0", 5); // 8-bit RGB
    chunk(png, "IHDR", header);
    chunk(png, "IDAT", std::string(packed.begin(), packed.begin() + size));
    chunk(png, "IEND", "");
    std::FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f) << path;
    std::fwrite(png.data(), 1, png.size(), f);
    std::fclose(f);
}

// The dialog as the screen shows it, as red-green-blue rows from the top.
std::vector<unsigned char> photograph(HWND dialog, int* width, int* height) {
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SendMessageA(dialog, WM_NULL, 0, 0); // its thread has painted everything by the time this returns
    Sleep(200);                          // and wine has put it on the window's surface
    RECT r;
    GetWindowRect(dialog, &r);
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), *width, -*height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    // The window's own device context: what wine painted for it, whatever covers it on the display.
    HDC window = GetWindowDC(dialog), memory = CreateCompatibleDC(window);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, *width, *height, window, 0, 0, SRCCOPY);
    std::vector<unsigned char> rgb;
    for (int i = 0; i < *width * *height; ++i) {
        const unsigned char* p = static_cast<unsigned char*>(bits) + i * 4;
        rgb.insert(rgb.end(), {p[2], p[1], p[0]});
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(dialog, window);
    return rgb;
}

// Runs showProperties on the test thread while drive() works the dialog.
int showAndDrive(CRGBAImage& image, const std::function<void(HWND)>& drive) {
    const DWORD thread = GetCurrentThreadId();
    std::thread user([&] {
        HWND dialog = waitForWindow(thread, [](HWND w) { return GetDlgItem(w, IDC_PROP_BLUR_SIZE) != nullptr; });
        ASSERT_TRUE(dialog) << "the dialog did not appear";
        EXPECT_EQ(L"Свойства рисунка", title(dialog)); // needs the Russian code page, as on the systems it is for
        for (int i = 0; i < 100 && !IsDlgButtonChecked(dialog, IDC_PROP_MODE_ORIGINAL); ++i) Sleep(20); // posted checks
        drive(dialog);
        if (IsWindow(dialog)) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); // a failed step must not leave it open
    });
    int result = image.showProperties(nullptr, kFilter, nullptr, nullptr);
    user.join();
    return result;
}

TEST(PropertiesDialog, UserEditsAndConfirms) {
    tvnSetMessageProc(nullptr, nullptr); // the real boxes, owned by the dialog
    IMG_TRANSP t = {};
    t.byMode = TRANSP_ORIGINAL;
    t.clrChromakey = 0x0000FFu; // red: the swatch shows it
    CRGBAImage image(tvntest::randomPixels(200, 100, 3).data(), 200, 100);
    image.setTransparency(t, nullptr);
    std::snprintf(tvn::ImageAccess::fileName(image), 260, "%s", "C:\\pictures\\sunset.tga");
    CRGBAImage copy(image);
    EXPECT_EQ(1, showAndDrive(image, [&](HWND dialog) {
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_PROP_COLOR)));
        EXPECT_EQ("C:\\pictures\\sunset.tga", itemText(dialog, IDC_PROP_IMAGE_FILE));
        type(dialog, IDC_PROP_WIDTH, "50");
        EXPECT_EQ("25", itemText(dialog, IDC_PROP_HEIGHT));
        click(dialog, IDC_PROP_MODE_CHROMAKEY);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_PROP_KEY_DEVIATION)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_PROP_CONST)));
        click(dialog, IDC_PROP_KEY_SOFT);
        HWND deviation = GetDlgItem(dialog, IDC_PROP_KEY_DEVIATION);
        SendMessageA(deviation, TBM_SETPOS, TRUE, 60);
        SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 60), reinterpret_cast<LPARAM>(deviation));
        click(dialog, IDC_PROP_BLUR_ON);
        HWND blur = GetDlgItem(dialog, IDC_PROP_BLUR_SIZE);
        EXPECT_EQ(1, SendMessageA(blur, TBM_GETPOS, 0, 0));
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(blur), TRUE);
        SendMessageA(blur, WM_KEYDOWN, VK_RIGHT, 0); // the track bar moves to 2 and tells the dialog
        int width = 0, height = 0;
        std::vector<unsigned char> rgb = photograph(dialog, &width, &height);
        writePng(g_screenshot, rgb, width, height);
        std::vector<bool> seen(4096);
        int colours = 0, red = 0;
        for (std::size_t i = 0; i < rgb.size(); i += 3) {
            int key = (rgb[i] >> 4) << 8 | (rgb[i + 1] >> 4) << 4 | rgb[i + 2] >> 4;
            colours += !seen[key];
            seen[key] = true;
            red += rgb[i] == 255 && rgb[i + 1] == 0 && rgb[i + 2] == 0;
        }
        EXPECT_GE(colours, 4) << "the screenshot is blank";
        EXPECT_GT(red, 50) << "the colour swatch is not painted";
        // The colour dialog starts at the key colour; its OK keeps it.
        PostMessageA(dialog, WM_COMMAND, IDC_PROP_COLOR, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_PROP_COLOR)));
        HWND colors = waitForWindow(GetWindowThreadProcessId(dialog, nullptr), [&](HWND w) { return GetWindow(w, GW_OWNER) == dialog; });
        ASSERT_TRUE(colors);
        PostMessageA(colors, WM_COMMAND, IDOK, 0);
        for (int i = 0; i < 100 && IsWindow(colors); ++i) Sleep(20);
        click(dialog, IDC_PROP_OK);
    }));
    t = {TRANSP_CHROMAKEY, 0, 0, 0, 0, 0, 0, 0, 0x0000FFu, 1, 60};
    copy.setTransparency(t, nullptr);
    copy.setSize(50, 25, kFilter, nullptr, nullptr);
    unsigned k = 2;
    tvn::ImageAccess::blur(copy, &k, 0);
    EXPECT_EQ(tvntest::pixelsOf(copy), tvntest::pixelsOf(image));
    EXPECT_EQ(0, std::memcmp(&t, &image.getTransparency(), sizeof t));
    EXPECT_EQ(2u, image.getBlurKrnlSize());
}

TEST(PropertiesDialog, MissingMaskKeepsTheDialogOpenAndCancelChangesNothing) {
    tvnSetMessageProc(nullptr, nullptr);
    CRGBAImage image(tvntest::randomPixels(20, 10, 4).data(), 20, 10);
    std::snprintf(tvn::ImageAccess::fileName(image), 260, "%s", "Z:\\nowhere\\missing.tga");
    std::vector<TVN_DWORD> before = tvntest::pixelsOf(image);
    EXPECT_EQ(0, showAndDrive(image, [&](HWND dialog) {
        click(dialog, IDC_PROP_MODE_MASK);
        type(dialog, IDC_PROP_CONST, "300");
        PostMessageA(dialog, WM_COMMAND, IDOK, reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        HWND box = waitForWindow(GetWindowThreadProcessId(dialog, nullptr), [](HWND w) { return title(w) == L"tivorn.dll"; });
        ASSERT_TRUE(box) << "no message 9";
        EXPECT_EQ(dialog, GetWindow(box, GW_OWNER));
        wchar_t text[64] = {0};
        GetDlgItemTextW(box, 0xFFFF, text, 64);
        EXPECT_STREQ(L"Не удается открыть файл маски", text);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(20);
        EXPECT_TRUE(IsWindow(dialog));
        EXPECT_EQ("Z:\\nowhere\\missing.tga", itemText(dialog, IDC_PROP_MASK_FILE));
        click(dialog, IDCANCEL);
    }));
    EXPECT_EQ(before, tvntest::pixelsOf(image));
    EXPECT_EQ(TRANSP_ORIGINAL, image.getTransparency().byMode);
    EXPECT_STREQ("", image.getMaskFileName());
}

} // namespace

int main(int argc, char** argv) {
    tvn::moduleAttach(tvn::plat::moduleInstance(), tvn::kAttachProcess);
    ::testing::InitGoogleTest(&argc, argv);
    if (argc > 1) g_screenshot = argv[1];
    return RUN_ALL_TESTS();
}
