// The real properties dialog of tivorn.dll under a message loop: a second thread
// finds it, types, clicks and slides as a user would, photographs it and presses
// OK or Cancel, while the test thread sits in showProperties.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <objidl.h> // before gdiplus.h, which needs it with the lean windows.h
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <thread>

#include "resources/dialog_ids.h"
#include "tivorn.h"

namespace {

std::string g_screenshot = "properties_dialog.png";

std::vector<TVN_DWORD> pixelsOf(CRGBAImage& i) { return {i.getBuffer(), i.getBuffer() + i.getWidth() * i.getHeight()}; }

// A visible top-level window of thread owned by owner, or with no owner given
// the properties dialog; waited for up to 20 s.
HWND waitForWindow(DWORD thread, HWND owner) {
    struct Search { HWND owner, found; } s = {owner, nullptr};
    for (int i = 0; i < 400 && !s.found; ++i, Sleep(50))
        EnumThreadWindows(thread, [](HWND w, LPARAM p) -> BOOL {
            Search* s = reinterpret_cast<Search*>(p);
            bool match = s->owner ? GetWindow(w, GW_OWNER) == s->owner : GetDlgItem(w, IDC_PROP_BLUR_SIZE) != nullptr;
            if (IsWindowVisible(w) && match) s->found = w;
            return !s->found;
        }, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND waitForBox(HWND owner) { return waitForWindow(GetWindowThreadProcessId(owner, nullptr), owner); }

std::string itemText(HWND dialog, int id) {
    char text[260] = {0};
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void type(HWND dialog, int id, const char* text) {
    HWND edit = GetDlgItem(dialog, id);
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE); // the focus, as a click gives it
    SendMessageA(edit, EM_SETSEL, 0, -1);
    for (; *text; ++text) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(*text), 0);
}

void click(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

// Presses a button of a window that opens a modal box of its own, without waiting.
void post(HWND window, int id) { PostMessageA(window, WM_COMMAND, id, reinterpret_cast<LPARAM>(GetDlgItem(window, id))); }

void closeBox(HWND box) {
    ASSERT_TRUE(box) << "the box did not appear";
    post(box, IDOK);
    for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(20);
}

// The dialog as its window's device context holds it (what wine painted for it,
// whatever covers it on the display), saved as a PNG; returns the pixels.
std::vector<unsigned> photograph(HWND dialog) {
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SendMessageA(dialog, WM_NULL, 0, 0); // its thread has painted everything once this returns
    Sleep(200);                          // and wine has put it on the window's surface
    RECT r;
    GetWindowRect(dialog, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    BITMAPINFO info = {{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
    void* bits = nullptr;
    HDC window = GetWindowDC(dialog), memory = CreateCompatibleDC(window);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, window, 0, 0, SRCCOPY);
    std::vector<unsigned> pixels(static_cast<unsigned*>(bits), static_cast<unsigned*>(bits) + w * h);
    SelectObject(memory, old);
    ULONG_PTR gdiplus = 0;
    Gdiplus::GdiplusStartupInput start;
    Gdiplus::GdiplusStartup(&gdiplus, &start, nullptr);
    const CLSID pngEncoder = {0x557cf406, 0x1a04, 0x11d3, {0x9a, 0x73, 0x00, 0x00, 0xf8, 0x1e, 0xf3, 0x2e}};
    const std::wstring path(g_screenshot.begin(), g_screenshot.end());
    EXPECT_EQ(Gdiplus::Ok, Gdiplus::Bitmap(bitmap, nullptr).Save(path.c_str(), &pngEncoder, nullptr)) << g_screenshot;
    Gdiplus::GdiplusShutdown(gdiplus);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(dialog, window);
    return pixels;
}

// Runs showProperties on the test thread while drive() works the dialog.
int showAndDrive(CRGBAImage& image, const std::function<void(HWND)>& drive) {
    const DWORD thread = GetCurrentThreadId();
    std::thread user([&] {
        HWND dialog = waitForWindow(thread, nullptr);
        ASSERT_TRUE(dialog) << "the dialog did not appear";
        wchar_t title[64] = {0};
        GetWindowTextW(dialog, title, 64);
        EXPECT_STREQ(L"Свойства рисунка", title); // in the Russian code page, as on the systems it is for
        for (int i = 0; i < 100 && !IsDlgButtonChecked(dialog, IDC_PROP_KEY_SOFT) &&
                        !IsDlgButtonChecked(dialog, IDC_PROP_KEY_HARD); ++i)
            Sleep(20); // the initial checks are posted
        drive(dialog);
        if (IsWindow(dialog)) post(dialog, IDCANCEL); // a failed step must not leave it open
    });
    int result = image.showProperties(nullptr, CRGBAImage::BoxFilter, nullptr, nullptr);
    user.join();
    return result;
}

TEST(PropertiesDialog, UserEditsConfirmsAndCancels) {
    std::vector<TVN_DWORD> pixels(200 * 100);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<TVN_DWORD>(i * 2654435761u);
    char path[MAX_PATH + 20];
    GetTempPathA(MAX_PATH, path);
    std::strcat(path, "sunset.tga");
    CRGBAImage image;
    ASSERT_EQ(1, CRGBAImage(pixels.data(), 200, 100).saveTGA(path));
    ASSERT_EQ(1, image.load(path, 0)); // the dialog shows its name
    // A red key colour for the swatch, with a top byte the brush must not see.
    IMG_TRANSP t = {TRANSP_ORIGINAL, 0, 0, 0, 0, 0, 0, 0, 0xFF0000FFu, 0, 0};
    image.setTransparency(t, nullptr);
    CRGBAImage copy(image);
    EXPECT_EQ(1, showAndDrive(image, [&](HWND dialog) {
        EXPECT_EQ(path, itemText(dialog, IDC_PROP_IMAGE_FILE));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_PROP_COLOR)));
        type(dialog, IDC_PROP_WIDTH, "50");
        EXPECT_EQ("25", itemText(dialog, IDC_PROP_HEIGHT));
        click(dialog, IDC_PROP_MODE_CHROMAKEY);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_PROP_KEY_DEVIATION)));
        click(dialog, IDC_PROP_KEY_SOFT);
        HWND deviation = GetDlgItem(dialog, IDC_PROP_KEY_DEVIATION), blur = GetDlgItem(dialog, IDC_PROP_BLUR_SIZE);
        SendMessageA(deviation, TBM_SETPOS, TRUE, 60);
        SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 60), reinterpret_cast<LPARAM>(deviation));
        click(dialog, IDC_PROP_BLUR_ON);
        EXPECT_EQ(1, SendMessageA(blur, TBM_GETPOS, 0, 0));
        SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(blur), TRUE);
        SendMessageA(blur, WM_KEYDOWN, VK_RIGHT, 0); // the track bar moves to 2 and tells the dialog
        std::vector<unsigned> shot = photograph(dialog);
        EXPECT_LT(std::count(shot.begin(), shot.end(), shot[0]), shot.size() * 9 / 10) << "blank screenshot";
        auto red = [](unsigned p) { return (p & 0xFFFFFF) == 0xFF0000; };
        EXPECT_GT(std::count_if(shot.begin(), shot.end(), red), 50) << "the colour swatch is not painted";
        post(dialog, IDC_PROP_COLOR); // the colour dialog starts at the key colour; its OK keeps it
        closeBox(waitForBox(dialog));
        // "Обзор..." turns the dialog off while its open-file dialog (no owner) is up.
        static HWND shown;
        static int enabledDuring;
        shown = dialog;
        enabledDuring = -1;
        tvnSetOpenFileProc([](const char*, const char*, char*, int, void*) {
            enabledDuring = IsWindowEnabled(shown) ? 1 : 0;
            return 0;
        }, nullptr);
        click(dialog, IDC_PROP_MODE_MASK);
        click(dialog, IDC_PROP_MASK_BROWSE);
        click(dialog, IDC_PROP_MODE_CHROMAKEY);
        tvnSetOpenFileProc(nullptr, nullptr);
        EXPECT_EQ(0, enabledDuring);
        EXPECT_TRUE(IsWindowEnabled(dialog));
        click(dialog, IDC_PROP_OK);
    }));
    t = {TRANSP_CHROMAKEY, 0, 0, 0, 0, 0, 0, 0, 0x0000FFu, 1, 60}; // the chooser gives the colour back plain
    copy.setTransparency(t, nullptr);
    copy.setSize(50, 25, CRGBAImage::BoxFilter, nullptr, nullptr);
    unsigned k = 2;
    copy.blur(&k); // its rebuild (with the image's own filter, Box) repeats that resize exactly
    EXPECT_EQ(pixelsOf(copy), pixelsOf(image));
    EXPECT_EQ(0, std::memcmp(&t, &image.getTransparency(), sizeof t));
    EXPECT_EQ(2u, image.getBlurKrnlSize());

    // The mask (the picture's own file, now gone) cannot be opened: message 9
    // keeps the dialog open; Cancel then changes nothing.
    DeleteFileA(path);
    const std::vector<TVN_DWORD> before = pixelsOf(image);
    EXPECT_EQ(0, showAndDrive(image, [&](HWND dialog) {
        click(dialog, IDC_PROP_MODE_MASK);
        post(dialog, IDOK);
        HWND box = waitForBox(dialog);
        wchar_t text[64] = {0};
        GetDlgItemTextW(box, 0xFFFF, text, 64); // the text of a message box
        EXPECT_STREQ(L"Не удается открыть файл маски", text);
        closeBox(box);
        EXPECT_TRUE(IsWindow(dialog));
        click(dialog, IDCANCEL);
    }));
    EXPECT_EQ(before, pixelsOf(image));
    EXPECT_EQ(TRANSP_CHROMAKEY, image.getTransparency().byMode);
}

} // namespace

int main(int argc, char** argv) {
    tvnSetMessageProc(nullptr, nullptr); // the real boxes, owned by the dialog
    ::testing::InitGoogleTest(&argc, argv);
    if (argc > 1) g_screenshot = argv[1];
    return RUN_ALL_TESTS();
}
