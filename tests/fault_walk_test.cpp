// Every wing under injected faults: each operation below runs once per memory
// and file call it makes, with that call failing (the test kit's environment).
// At every point nothing crashes or leaks (the suite also runs under ASan), and
// the state the operation's failure rules give holds; the operation done again
// without faults then gives its full result. The number of points walked per
// operation is printed at the end.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "image/image_access.h"
#include "pixel/module_start.h"
#include "resources/dialog_ids.h"
#include "support/cache_builder.h"
#include "support/faults.h"
#include "support/files.h"
#include "gif_encoder.h"

using namespace tvntest;
using A = tvn::ImageAccess;

namespace {

const unsigned kAll = calls::CallAlloc | calls::CallFiles;

std::map<std::string, unsigned long>& walked() {
    static std::map<std::string, unsigned long> points;
    return points;
}

struct PrintWalked : ::testing::Environment {
    void TearDown() override {
        std::printf("fault points walked per operation:\n");
        for (const auto& w : walked()) std::printf("  %-28s %lu\n", w.first.c_str(), w.second);
    }
};
const auto* const kPrint = ::testing::AddGlobalTestEnvironment(new PrintWalked);

template <class Prepare, class Run, class Check>
void walk(const std::string& name, unsigned kinds, Prepare prepare, Run run, Check check) {
    walked()[name] = walkFaults(kinds, prepare, run, check);
}

std::unique_ptr<CRGBAImage> picture(TVN_DWORD w, TVN_DWORD h, unsigned seed) {
    return std::unique_ptr<CRGBAImage>(new CRGBAImage(randomPixels(w, h, seed).data(), w, h));
}

std::vector<unsigned char> fileOf(const CRGBAImage& source, const char* name) {
    TempFile file(name);
    CRGBAImage copy(source);
    copy.saveTGA(file.path());
    return file.read();
}

std::vector<unsigned char> gifFile() {
    std::vector<std::uint16_t> indices(6 * 5);
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<std::uint16_t>(i % 4);
    std::vector<unsigned char> gif = gifenc::header(6, 5, {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255});
    gifenc::image(gif, 0, 0, 6, 5, true, {}, 2, gifenc::subBlocks(gifenc::lzwEncode(gifenc::interlaceRows(indices, 6, 5))));
    gifenc::image(gif, 2, 1, 2, 2, false, std::vector<unsigned char>(12, 7), 2,
                  gifenc::subBlocks(gifenc::lzwEncode({1, 0, 3, 1}, {2})));
    gif.push_back(0x3B);
    return gif;
}

// A picture that load fills: a resized one with an alpha of its own set aside.
std::unique_ptr<CRGBAImage> loadedAndResized(const char* path) {
    std::unique_ptr<CRGBAImage> image(new CRGBAImage);
    EXPECT_EQ(image->load(path, 0), 1);
    image->setSize(5, 4, CRGBAImage::BilinearFilter, nullptr, nullptr);
    image->saveAlpha();
    return image;
}

} // namespace

// load of every format: a failed load puts the previous picture back whole and
// says why once, with message 1 for a failed allocation (a box, or thrown by the
// copy of the picture load makes first); JPEG's decoder says nothing.
TEST(FaultWalk, LoadOfEachFormat) {
    MessageRecorder boxes;
    const auto source = picture(7, 5, 3);
    const MemoryFile before("walk/before.tga", fileOf(*source, "before.tga"));
    const MemoryFile files[] = {
        MemoryFile("walk/p.bmp", bmpPicture(randomPixels(6, 4, 5), 6, 4)), MemoryFile("walk/p.tga", fileOf(*source, "p.tga")),
        MemoryFile("walk/p.gif", gifFile()),
        MemoryFile("walk/p.jpg", readFileBytes(std::string(TIVORN_SOURCE_DIR) + "/tests/data/quadrants_16x8.jpg"))};
    for (const MemoryFile& file : files)
        for (const unsigned kinds : {unsigned(calls::CallAlloc), unsigned(calls::CallFiles)}) {
            CRGBAImage good;
            ASSERT_EQ(good.load(file.path(), 0), 1);
            const std::vector<TVN_DWORD> loaded = pixelsOf(good);
            const std::string name = std::string(file.path()) + (kinds == calls::CallAlloc ? " (memory)" : " (files)");
            walk("load " + name, kinds, [&] { return loadedAndResized(before.path()); },
                 [&](CRGBAImage& image) {
                     const Snapshot was = snapshot(image);
                     boxes.clear();
                     int result = -1, thrown = 0;
                     try {
                         result = image.load(file.path(), 0);
                     } catch (char* text) {
                         thrown = text == tvn::pixel::messageText(1) ? 1 : -1;
                     }
                     std::vector<int> said = boxes.numbers();
                     if (thrown) said.push_back(thrown);
                     if (result != 1) {
                         EXPECT_EQ(said.size(), std::strstr(name.c_str(), ".jpg") && said.empty() ? 0u : 1u) << name;
                         EXPECT_TRUE(kinds != calls::CallAlloc || said.empty() || said[0] == 1) << name;
                     }
                     return std::make_pair(result, result == 1 || snapshot(image).first == was.first);
                 },
                 [&](CRGBAImage& image, std::pair<int, bool> r, unsigned long n, bool failed) {
                     EXPECT_TRUE(r.second) << name << " " << n << ": the previous picture is back";
                     // A GIF whose data stop early shows what was read, so a failed read
                     // there may still load: the picture then has its full size.
                     if (r.first == 1 && !failed) {
                         EXPECT_EQ(pixelsOf(image), loaded) << n;
                     }
                     if (r.first == 1) {
                         EXPECT_EQ(image.getWidth(), good.getWidth()) << n;
                     }
                     if (!failed) {
                         EXPECT_EQ(r.first, 1);
                     }
                 });
        }
}

// setSize, blur and every transparency mode: a failure leaves the current
// picture as it was (a mode's rebuild may leave the old picture showing after
// the untouched copy took the new alpha); without faults the result is exact.
TEST(FaultWalk, ImageOperations) {
    const MemoryFile mask("walk/mask.tga", fileOf(*picture(4, 3, 9), "mask.tga"));
    struct Op {
        const char* name;
        std::function<int(CRGBAImage&)> run;
        bool rebuildsFirst = false; // a blur rebuilds the picture before it blurs: that state may stay
        bool unresized = false;     // stretching skips a picture that has an untouched copy
    };
    auto mode = [](unsigned char m, unsigned char a, unsigned char b) {
        return IMG_TRANSP{m, a, a, 0, 0, b, a, b, 0x00405060u, 1, 90};
    };
    std::vector<unsigned char> rows(16 * 4, 0x5A); // 4 rows of 5 pixels, 16 bytes apart
    const HBITMAP bitmap = tvnCreateBitmap(5, 4, 24, rows.data(), 16);
    static std::vector<unsigned char> stream;
    const Op ops[] = {
        {"setSize", [](CRGBAImage& i) { return i.setSize(13, 11, CRGBAImage::BicubicFilter, nullptr, nullptr); }},
        {"setSizeRough", [](CRGBAImage& i) { return i.setSizeRough(13, 11); }},
        {"blur", [](CRGBAImage& i) { unsigned k = 2; i.blur(&k); return static_cast<int>(i.getBlurKrnlSize()); }, true},
        {"transparency const", [&](CRGBAImage& i) { return i.setTransparency(mode(TRANSP_CONST, 30, 0), nullptr); }},
        {"transparency gradient", [&](CRGBAImage& i) { return i.setTransparency(mode(TRANSP_LG, 10, 90), nullptr); }},
        {"transparency ellipse", [&](CRGBAImage& i) { return i.setTransparency(mode(TRANSP_ELL, 20, 80), nullptr); }},
        {"transparency mask", [&](CRGBAImage& i) { return i.setTransparency(mode(TRANSP_MASK, 0, 0), mask.path()); }},
        {"transparency chromakey",
         [&](CRGBAImage& i) { return i.setTransparency(mode(TRANSP_CHROMAKEY, 0, 0), nullptr); }},
        {"transparency original", [&](CRGBAImage& i) { return i.setTransparency(mode(TRANSP_ORIGINAL, 0, 0), nullptr); }},
        {"stretchHorizontally", [](CRGBAImage& i) { i.stretchHorizontally(17); return 1; }, false, true},
        {"trimByAlpha", [](CRGBAImage& i) {
             TVN_DWORD x = 0, y = 0;
             i.trimByAlpha(x, y);
             return 1;
         }},
        {"fromHandle", [&](CRGBAImage& i) { return i.fromHandle(bitmap); }},
        // The picture stays; a stream, when there is one, is whole.
        {"compressRLE", [](CRGBAImage& i) { return static_cast<int>(packed(i) == stream); }},
    };
    // A picture (resized unless told) whose own alpha is set aside and ellipse alpha shown.
    auto prepareAs = [](bool resized) {
        return [resized] {
            auto image = picture(9, 7, 4);
            if (resized) image->setSize(11, 8, CRGBAImage::BilinearFilter, nullptr, nullptr);
            image->setTransparency(IMG_TRANSP{TRANSP_ELL, 0, 0, 0, 0, 0, 50, 100, 0, 0, 0}, nullptr);
            return image;
        };
    };
    stream = packed(*prepareAs(true)());
    for (const Op& op : ops) {
        const auto prepare = prepareAs(!op.unresized);
        auto good = prepare();
        ASSERT_NE(op.run(*good), 0) << op.name;
        const std::vector<TVN_DWORD> success = pixelsOf(*good);
        auto rebuilt = prepare();
        rebuilt->setSize(rebuilt->getWidth(), rebuilt->getHeight(), A::resizeFilter(*rebuilt), nullptr, nullptr);
        const std::vector<TVN_DWORD> partial = op.rebuildsFirst ? pixelsOf(*rebuilt) : success;
        // ... or, when the rebuild failed, blurs the picture as it was.
        auto unrebuiltImage = prepare();
        unsigned k = 2;
        A::blur(*unrebuiltImage, &k, 0);
        const std::vector<TVN_DWORD> unrebuilt = op.rebuildsFirst ? pixelsOf(*unrebuiltImage) : success;
        walk(op.name, kAll, prepare,
             [&](CRGBAImage& image) {
                 const std::vector<TVN_DWORD> before = pixelsOf(image);
                 const int result = op.run(image);
                 const std::vector<TVN_DWORD> after = pixelsOf(image);
                 if (after == success && (result || after == before)) return result ? 1 : 0;
                 return after == before || after == partial || after == unrebuilt ? 0 : -1;
             },
             [&](CRGBAImage&, int outcome, unsigned long n, bool failed) {
                 EXPECT_NE(outcome, -1) << op.name << " " << n << ": neither the old nor the new picture";
                 if (!failed) {
                     EXPECT_EQ(outcome, 1) << op.name;
                 }
             });
    }
    tvnDeleteBitmap(bitmap);
}

// Copies, assignment and the run-length constructor: a failure throws message
// 1 and leaves the source, and an assignment's target, as they were.
TEST(FaultWalk, CopiesAndTheRunLengthConstructor) {
    struct Pair {
        std::unique_ptr<CRGBAImage> source = picture(6, 5, 11), target = picture(2, 3, 12);
        std::vector<TVN_DWORD> sourceWas = pixelsOf(*source), targetWas = pixelsOf(*target);
    };
    auto prepare = [] {
        auto p = std::make_unique<Pair>();
        p->source->setSize(9, 7, CRGBAImage::BoxFilter, nullptr, nullptr);
        p->source->saveAlpha();
        p->sourceWas = pixelsOf(*p->source);
        return p;
    };
    walk("copy, assignment, run-length", calls::CallAlloc, prepare,
         [](Pair& p) {
             try {
                 CRGBAImage copy(*p.source);
                 *p.target = *p.source;
                 const std::vector<unsigned char> s = packed(copy);
                 if (!s.empty())
                     CRGBAImage unpacked(s.data(), TVN_DWORD(s.size()), copy.getWidthOrig(), copy.getHeightOrig());
                 return 1;
             } catch (char* text) {
                 EXPECT_EQ(text, tvn::pixel::messageText(1));
                 return 0;
             }
         },
         [](Pair& p, int result, unsigned long n, bool) {
             EXPECT_EQ(pixelsOf(*p.source), p.sourceWas) << n;
             const std::vector<TVN_DWORD> target = pixelsOf(*p.target);
             EXPECT_TRUE(target == p.targetWas || target == p.sourceWas) << n;
             if (result) {
                 EXPECT_EQ(target, p.sourceWas) << n;
             }
         });
}

// An image set made, its preload pass and getFrame, with no preloader thread
// (so every call is this thread's): a frame that failed stays empty, and the
// next pass or getFrame loads it.
TEST(FaultWalk, ImageSetConstructionPassAndGetFrame) {
    FrameFiles run("walkset", 3, 5, 4, 60);
    using Set = std::unique_ptr<CRGBAImageSet>;
    auto noThread = [] { calls::failEveryCall(calls::CallThread); };
    auto allFramesRight = [&](CRGBAImageSet& set) {
        noThread();
        set.preloadFrames();
        for (int i = 0; i < 3; ++i) {
            CRGBAImage* frame = set.getFrame(i);
            ASSERT_TRUE(frame) << i;
            EXPECT_EQ(pixelsOf(*frame), run.pixels(i)) << i;
        }
        endFaults();
    };
    walk("image set construction", kAll | calls::CallEvent, [&] { return std::make_unique<Set>(); },
         [&](Set& s) {
             noThread();
             s.reset(new CRGBAImageSet(run.name(0).c_str()));
             return s->getNumFrames();
         },
         [&](Set& s, unsigned frames, unsigned long, bool failed) {
             EXPECT_LE(frames, 3u); // a failed existence test or name ends the run early
             for (unsigned i = 0; i < frames; ++i) EXPECT_EQ(s->getFrame(i) ? 1 : 0, 1);
             if (!failed) {
                 EXPECT_EQ(frames, 3u);
             }
             s.reset();
         });
    auto made = [&] {
        noThread();
        auto set = std::make_unique<CRGBAImageSet>(run.name(0).c_str());
        endFaults();
        return set;
    };
    walk("preload pass", kAll, made, [](CRGBAImageSet& set) { set.preloadFrames(); return 0; },
         [&](CRGBAImageSet& set, int, unsigned long, bool) { allFramesRight(set); });
    walk("getFrame", kAll, made, [](CRGBAImageSet& set) { return set.getFrame(1) != nullptr; },
         [&](CRGBAImageSet& set, bool, unsigned long, bool failed) {
             if (!failed) {
                 EXPECT_NE(set.getFrame(1), nullptr);
             }
             allFramesRight(set);
         });
}

// Every operation of a cache file: a failed one returns its failure value and
// changes nothing, in memory or on disk (a failed save leaves no journal);
// done again without faults it succeeds.
TEST(FaultWalk, CacheOperations) {
    tvnSetWorkerCount(1); // every frame packed on this thread, so the walk sees its calls
    FrameFiles a("walk_a", 2, 4, 3, 70), b("walk_b", 2, 3, 3, 80), c("walk_c", 1, 2, 2, 90);
    TempFile file("walk.kac");
    const std::vector<unsigned char> both = buildCache({a.entry(), b.entry()});
    const std::string journal = std::string(file.path()) + ".journal";
    auto opened = [&](int writable) {
        return [&, writable] {
            file.write(both);
            auto o = std::make_unique<Cache>(file.path(), 0);
            if (writable) o->rw.reopenAsWritable(o->h);
            return o;
        };
    };
    auto unchanged = [&](Cache& o, int result, const char* what, unsigned long n) {
        if (result) return;
        EXPECT_EQ(file.read(), both) << what << " " << n;
        EXPECT_EQ(o.rw.getNumCacheEntries(o.h), o.h ? 2 : -1) << what << " " << n;
        EXPECT_FALSE(fileExists(journal)) << what << " " << n;
    };
    walk("cache open", kAll, [&] { file.write(both); return std::make_unique<Cache>(); },
         [&](Cache& o) { return static_cast<int>(o.h = o.rw.openFile(file.path(), 0)); },
         [&](Cache& o, int result, unsigned long n, bool failed) {
             unchanged(o, result, "open", n);
             if (!failed) {
                 EXPECT_NE(result, 0);
             }
         });
    walk("cache re-read", kAll, opened(0), [](Cache& o) { return o.rw.reopen(o.h); },
         [&](Cache& o, int result, unsigned long n, bool) { unchanged(o, result, "re-read", n); });
    walk("cache add", kAll, opened(1), [&](Cache& o) { return o.rw.addEntry(o.h, c.name(0).c_str()); },
         [&](Cache& o, int result, unsigned long n, bool) {
             EXPECT_EQ(o.rw.getNumCacheEntries(o.h), result ? 3 : 2) << n;
         });
    walk("cache delete", kAll, opened(1), [](Cache& o) { return o.rw.deleteEntry(o.h, 0); },
         [&](Cache& o, int result, unsigned long, bool) { EXPECT_EQ(o.rw.getNumCacheEntries(o.h), result ? 1 : 2); });
    // A save after the first entry went: the second is written again from its
    // sources, and the new entry after it.
    const std::vector<unsigned char> saved = buildCache({b.entry(), c.entry()});
    walk("cache save", kAll,
         [&] {
             auto o = opened(1)();
             o->rw.deleteEntry(o->h, 0);
             o->rw.addEntry(o->h, c.name(0).c_str());
             return o;
         },
         [](Cache& o) { return o.rw.saveCacheFile(o.h, nullptr, nullptr); },
         [&](Cache& o, int result, unsigned long n, bool failed) {
             if (!result) {
                 EXPECT_EQ(file.read(), both) << n;
                 EXPECT_FALSE(fileExists(journal)) << n;
                 EXPECT_EQ(o.rw.saveCacheFile(o.h, nullptr, nullptr), 1) << n;
             }
             if (!result || !failed) {
                 EXPECT_EQ(file.read(), saved) << n;
                 return;
             }
             // A frame that could not be packed is saved empty, and the save goes on.
             Cache after(file.path(), 0);
             ASSERT_EQ(after.rw.getNumCacheEntries(after.h), 2) << n;
             for (int e = 0; e < 2; ++e)
                 for (int k = 0; k < (e ? 1 : 2); ++k) {
                     std::vector<TVN_DWORD> px((e ? c : b).pixels(k).size());
                     if (after.rw.getFrameData(after.h, e, k, px.data())) {
                         EXPECT_EQ(px, (e ? c : b).pixels(k)) << n;
                     }
                 }
         });
    walk("cache frame size", kAll, opened(0),
         [](Cache& o) {
             TVN_DWORD w = 0, h = 0;
             return o.rw.getFrameSize(o.h, 1, 1, &w, &h) ? static_cast<int>(w * 100 + h) : 0;
         },
         [&](Cache&, int result, unsigned long, bool failed) {
             if (result || !failed) {
                 EXPECT_EQ(result, 303);
             }
         });
    walk("cache frame data", kAll, opened(0),
         [](Cache& o) {
             std::vector<TVN_DWORD> px(12, 0xABABABABu);
             const int ok = o.rw.getFrameData(o.h, 0, 1, px.data());
             return std::make_pair(ok, px);
         },
         [&](Cache&, std::pair<int, std::vector<TVN_DWORD>> r, unsigned long n, bool failed) {
             EXPECT_EQ(r.second, r.first ? a.pixels(1) : std::vector<TVN_DWORD>(12, 0xABABABABu)) << n;
             if (!failed) {
                 EXPECT_EQ(r.first, 1);
             }
         });
    tvnSetWorkerCount(0);
}

// The properties dialog's OK, with a new size, a mask and a blur: a failure
// shows its message and leaves the dialog (and the picture) as they were, or
// is one of the steps' own failures after the dialog was accepted.
TEST(FaultWalk, PropertiesDialogOk) {
    const MemoryFile mask("walk/dlgmask.tga", fileOf(*picture(5, 4, 2), "dlgmask.tga"));
    static std::string maskPath;
    maskPath = mask.path();
    MessageRecorder boxes;
    tvnSetOpenFileProc([](const char*, const char*, char* path, int size, void*) {
        return std::snprintf(path, size, "%s", maskPath.c_str()) > 0 ? 1 : 0;
    }, nullptr);
    tvnSetPropertiesDialogProc([](TVN_PROPERTIES_DIALOG* d, HWND, void*) {
        tvnPropType(d, IDC_PROP_WIDTH, "30");
        tvnPropClick(d, IDC_PROP_MODE_MASK);
        tvnPropClick(d, IDC_PROP_MASK_BROWSE);
        tvnPropClick(d, IDC_PROP_BLUR_ON);
        tvnPropSetTrackBar(d, IDC_PROP_BLUR_SIZE, 2);
        tvnPropClick(d, IDC_PROP_OK);
    }, nullptr);
    walk("properties dialog OK", kAll, [] { return picture(20, 10, 6); },
         [](CRGBAImage& image) {
             const std::vector<TVN_DWORD> before = pixelsOf(image);
             const int accepted = image.showProperties(nullptr, CRGBAImage::BilinearFilter, nullptr, nullptr);
             return std::make_pair(accepted, accepted || pixelsOf(image) == before);
         },
         [](CRGBAImage& image, std::pair<int, bool> r, unsigned long n, bool failed) {
             EXPECT_TRUE(r.second) << n << ": a dialog not accepted changes nothing";
             if (!failed) {
                 EXPECT_EQ(r.first, 1);
                 EXPECT_EQ(image.getWidth(), 34u); // and the blur's border
                 EXPECT_EQ(image.getBlurKrnlSize(), 2u);
             }
         });
    tvnSetPropertiesDialogProc(nullptr, nullptr);
    tvnSetOpenFileProc(nullptr, nullptr);
}
