// make_demo_pictures [DIR]: draws the pictures of tools/demo-pictures. They are
// committed; run this again only to change them (output is reproducible).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "make_demo.h"

using demo::CCanvas;
using demo::COLOUR;
using demo::mix;

namespace {

const float kPi = 3.14159265f;

bool inCircle(float x, float y, float cx, float cy, float r) {
    return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
}

COLOUR flat(float r, float g, float b) {
    return {r, g, b, 255};
}

// A landscape at evening: sky gradient, sun, two ranges of hills, trees and a
// fence whose thin posts show how each resize filter treats fine detail.
CCanvas scene() {
    CCanvas c(160, 120, flat(0, 0, 0));
    c.fill([](float, float) { return true; },
           [](float, float y) { return mix(flat(60, 110, 200), flat(250, 190, 140), y / 75); });
    c.fill([](float x, float y) { return inCircle(x, y, 118, 40, 20); },
           [](float x, float y) {
               const float d = std::sqrt((x - 118) * (x - 118) + (y - 40) * (y - 40));
               COLOUR glow = flat(255, 235, 190);
               glow.a = d < 10 ? 255 : 255 * (1 - (d - 10) / 10) * 0.6f;
               return glow;
           });
    c.fill([](float x, float y) { return y > 62 + 8 * std::sin(x * 0.05f) + 4 * std::sin(x * 0.13f); },
           [](float, float y) { return mix(flat(110, 120, 160), flat(80, 100, 120), (y - 55) / 30); });
    c.fill([](float x, float y) { return y > 80 + 10 * std::sin(x * 0.035f + 1) + 3 * std::sin(x * 0.21f); },
           [](float x, float y) {
               const COLOUR base = mix(flat(90, 160, 60), flat(30, 80, 30), (y - 70) / 50);
               return mix(base, flat(140, 170, 70), 0.3f + 0.3f * std::sin(x * 0.4f + y * 0.2f));
           });
    const float trees[] = {18, 34, 47, 130, 146};
    for (float tx : trees) {
        const float base = 84 + 10 * std::sin(tx * 0.035f + 1);
        c.fill([=](float x, float y) { return std::fabs(x - tx) < 1.2f && y > base - 6 && y < base + 2; },
               [](float, float) { return flat(80, 50, 30); });
        c.fill([=](float x, float y) { return y > base - 24 && y < base - 4 && std::fabs(x - tx) < (y - base + 24) * 0.35f; },
               [](float, float y) { return mix(flat(30, 90, 40), flat(15, 50, 25), (y - 60) / 30); });
    }
    c.fill([](float x, float y) { return (y > 100 && y < 102) || (y > 96 && y < 116 && std::fmod(x, 6.f) < 1); },
           [](float, float) { return flat(235, 225, 205); });
    c.grain(5, 1);
    return c;
}

// A badge with an alpha of its own: opaque in the middle, thinning outwards and
// by angle, a clear hole, and fully transparent margins (off centre, for trim).
CCanvas badge() {
    CCanvas c(128, 96, {0, 0, 0, 0});
    const float cx = 70, cy = 46;
    c.fill([=](float x, float y) { return inCircle(x, y, cx, cy, 32) && !inCircle(x, y, cx + 9, cy - 9, 7); },
           [=](float x, float y) {
               const float angle = std::atan2(y - cy, x - cx), d = std::hypot(x - cx, y - cy) / 32;
               COLOUR col = {127.5f + 127.5f * std::cos(angle), 127.5f + 127.5f * std::cos(angle - 2 * kPi / 3),
                             127.5f + 127.5f * std::cos(angle + 2 * kPi / 3), 255};
               col = mix(flat(255, 255, 255), col, d * 1.5f);
               col.a = 255 * (1 - 0.65f * d) * (0.75f + 0.25f * std::cos(angle * 3));
               return col;
           });
    c.fill([=](float x, float y) { return std::fabs(y - (cy + 20)) < 3 && std::fabs(x - cx) < 26; },
           [](float, float) { return COLOUR{20, 20, 60, 200}; });
    return c;
}

// A figure in front of a backdrop of pure green (0, 255, 0), edges blended.
CCanvas greenScreen() {
    CCanvas c(160, 120, flat(0, 255, 0));
    const float cx = 80;
    c.fill([=](float x, float y) { return y > 54 && std::fabs(x - cx) < 26 - (y < 62 ? (62 - y) * 1.5f : 0); },
           [](float x, float y) { return mix(flat(200, 40, 60), flat(120, 20, 50), (y - 54) / 66 + x / 600); });
    c.fill([=](float x, float y) {
               return y > 58 && y < 110 && std::fabs(std::fabs(x - cx) - 30 - (y - 58) * 0.25f) < 5;
           },
           [](float, float) { return flat(190, 40, 60); });
    c.fill([=](float x, float y) { return y > 48 && y < 58 && std::fabs(x - cx) < 6; },
           [](float, float) { return flat(225, 175, 145); });
    c.fill([=](float x, float y) { return inCircle(x, y, cx, 36, 14); },
           [](float x, float y) { return mix(flat(240, 190, 160), flat(200, 150, 120), (x - 66) / 28 + (y - 22) / 80); });
    c.fill([=](float x, float y) { return inCircle(x, y, cx, 32, 15) && y < 30 + 0.2f * std::fabs(x - cx); },
           [](float, float) { return flat(70, 40, 20); });
    c.fill([=](float x, float y) { return inCircle(x, y, cx - 5, 37, 1.6f) || inCircle(x, y, cx + 5, 37, 1.6f); },
           [](float, float) { return flat(30, 30, 40); });
    return c;
}

// Concentric colour rings over stripes: every row differs from its neighbours,
// so rows put in the wrong place by an interlace mistake show at once.
CCanvas rings() {
    CCanvas c(160, 120, flat(0, 0, 0));
    c.fill([](float, float) { return true; },
           [](float x, float y) {
               const float d = std::hypot(x - 80, y - 60);
               const float band = std::sin(d * 0.35f), stripe = std::sin((x + y) * 0.25f);
               return COLOUR{127 + 127 * band, 127 + 127 * std::sin(d * 0.2f + 2),
                             127 + 100 * stripe * (1 - d / 100), 255};
           });
    c.fill([](float x, float y) { return x < 40 && y < 30 && (static_cast<int>(x / 5) + static_cast<int>(y / 5)) % 2; },
           [](float, float) { return flat(255, 255, 255); });
    return c;
}

// A harbour at dusk: red and white lighthouse, sea, a sailboat.
CCanvas harbour() {
    CCanvas c(160, 120, flat(0, 0, 0));
    c.fill([](float, float) { return true; },
           [](float, float y) { return mix(flat(90, 60, 140), flat(255, 150, 90), y / 70); });
    c.fill([](float x, float y) { return y > 70 + std::sin(x * 0.3f); },
           [](float x, float y) {
               const COLOUR sea = mix(flat(40, 70, 130), flat(10, 30, 70), (y - 70) / 50);
               return mix(sea, flat(255, 170, 110), 0.35f * std::max(0.f, std::sin(x * 0.5f + y * 1.7f)));
           });
    c.fill([](float x, float y) { return y > 30 && y < 75 && std::fabs(x - 28) < 6 - (75 - y) * 0.05f; },
           [](float, float y) { return static_cast<int>(y / 7) % 2 ? flat(220, 30, 30) : flat(245, 245, 240); });
    c.fill([](float x, float y) { return inCircle(x, y, 28, 27, 5); }, [](float, float) { return flat(255, 240, 150); });
    c.fill([](float x, float y) { return y > 72 && y < 80 && x > 90 - (80 - y) && x < 130 + (80 - y) * 0.5f; },
           [](float, float) { return flat(110, 60, 30); });
    c.fill([](float x, float y) { return y > 35 && y < 71 && x > 110 && x < 110 + (y - 35) * 0.6f; },
           [](float, float) { return flat(250, 250, 245); });
    c.fill([](float x, float y) { return y > 45 && y < 71 && x < 108 && x > 108 - (y - 45) * 0.55f; },
           [](float, float) { return flat(40, 120, 210); });
    c.grain(4, 2);
    return c;
}

// Frame `k` of 8 of a short loop: a two-coloured bar turning a quarter of a
// revolution over the run around a ring, on a transparent ground.
CCanvas spinFrame(int k) {
    CCanvas c(48, 48, COLOUR{0, 0, 0, 0});
    const float angle = k * kPi / 16, ca = std::cos(angle), sa = std::sin(angle);
    c.fill([](float x, float y) { return inCircle(x, y, 24, 24, 22) && !inCircle(x, y, 24, 24, 19); },
           [](float, float) { return flat(60, 60, 70); });
    c.fill([=](float x, float y) {
               const float u = (x - 24) * ca + (y - 24) * sa, v = -(x - 24) * sa + (y - 24) * ca;
               return std::fabs(u) < 17 && std::fabs(v) < 4;
           },
           [=](float x, float y) {
               return (x - 24) * ca + (y - 24) * sa < 0 ? flat(230, 70, 40) : flat(40, 150, 230);
           });
    c.fill([](float x, float y) { return inCircle(x, y, 24, 24, 3); }, [](float, float) { return flat(250, 250, 250); });
    return c;
}

} // namespace

int main(int argc, char** argv) {
    const std::string dir = argc > 1 ? argv[1] : ".";
    bool ok = demo::writeBMP24(dir + "/scene.bmp", scene()) && demo::writeTGA32(dir + "/alpha.tga", badge()) &&
                    demo::writeBMP24(dir + "/greenscreen.bmp", greenScreen()) &&
                    demo::writeInterlacedGIF(dir + "/interlaced.gif", rings()) &&
                    demo::writeJPEG(dir + "/photo.jpg", harbour(), 85);
    for (int k = 0; ok && k < 8; ++k) {
        char name[32];
        std::snprintf(name, sizeof name, "/spin%04d.tga", k);
        ok = demo::writeTGA32(dir + name, spinFrame(k));
    }
    if (!ok) {
        std::fprintf(stderr, "make_demo_pictures: cannot write into %s\n", dir.c_str());
        return 1;
    }
    std::printf("demo pictures written into %s\n", dir.c_str());
    return 0;
}
