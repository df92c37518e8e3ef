#include "play_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "cli.h"

namespace cli {
namespace {

const std::size_t kLateLines = 20;

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

double maxBehind(const PLAY_REPORT& r) {
    double worst = 0;
    for (const LATE_FRAME& l : r.late) worst = std::max(worst, l.behindMs);
    return worst;
}

} // namespace

double percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const double rank = std::ceil(p / 100.0 * static_cast<double>(values.size()));
    const std::size_t at = rank < 1 ? 0 : static_cast<std::size_t>(rank) - 1;
    return values[std::min(at, values.size() - 1)];
}

double achievedFps(const PLAY_REPORT& r) {
    return r.shown > 1 && r.seconds > 0 ? static_cast<double>(r.shown - 1) / r.seconds : 0;
}

void printSummary(const PLAY_REPORT& r, bool lateLines) {
    std::printf("%s%s: %u frame%s, %lux%lu, at %g fps", r.source.c_str(),
                r.cache ? (", entry " + std::to_string(r.entry)).c_str() : "", r.frames, r.frames == 1 ? "" : "s",
                r.width, r.height, r.fps);
    if (r.loops != 1) std::printf(r.loops ? ", %lu loops" : ", looping", r.loops);
    if (r.keepReady >= 0) std::printf(", keepReady(%ld)", r.keepReady);
    std::printf("\n");
    std::printf("  shown     %llu frames in %.3f s%s%s\n", r.shown, r.seconds, r.stopped ? ", stopped: " : "",
                r.stopped ? r.stopped : "");
    std::printf("  achieved  %.2f fps\n", achievedFps(r));
    std::printf("  late      %u of %llu", static_cast<unsigned>(r.late.size()), r.shown);
    if (!r.late.empty()) std::printf(" (worst %s behind)", formatMs(maxBehind(r)).c_str());
    std::printf("\n");
    if (r.failed) std::printf("  failed    %llu (could not be loaded)\n", r.failed);
    std::printf("  %-9s p50 %s  p99 %s  max %s\n", r.cache ? "read" : "getFrame",
                formatMs(percentile(r.fetchMs, 50)).c_str(), formatMs(percentile(r.fetchMs, 99)).c_str(),
                formatMs(percentile(r.fetchMs, 100)).c_str());
    if (!lateLines) return;
    for (std::size_t i = 0; i < r.late.size() && i < kLateLines; ++i) {
        const LATE_FRAME& l = r.late[i];
        std::printf("  late frame %u (play position %llu): %s behind, %s %s\n", l.frame, l.position,
                    formatMs(l.behindMs).c_str(), r.cache ? "read" : "getFrame", formatMs(l.getMs).c_str());
    }
    if (r.late.size() > kLateLines)
        std::printf("  ... and %u more late frames\n", static_cast<unsigned>(r.late.size() - kLateLines));
}

void printJson(const PLAY_REPORT& r) {
    std::printf("{\n  \"source\": %s,\n  \"kind\": \"%s\",\n", jsonString(r.source).c_str(), r.cache ? "cache" : "run");
    if (r.cache) std::printf("  \"entry\": %u,\n", r.entry);
    std::printf("  \"frames\": %u,\n  \"width\": %lu,\n  \"height\": %lu,\n", r.frames, r.width, r.height);
    std::printf("  \"fps\": %g,\n  \"loops\": %lu,\n", r.fps, r.loops);
    if (r.keepReady >= 0) std::printf("  \"keep_ready\": %ld,\n", r.keepReady);
    std::printf("  \"window\": %s,\n  \"schedule\": \"slip\",\n", r.window ? "true" : "false");
    std::printf("  \"shown\": %llu,\n  \"failed\": %llu,\n  \"seconds\": %.6f,\n  \"achieved_fps\": %.3f,\n", r.shown,
                r.failed, r.seconds, achievedFps(r));
    std::printf("  \"late\": %u,\n  \"late_at\": [", static_cast<unsigned>(r.late.size()));
    for (std::size_t i = 0; i < r.late.size(); ++i) std::printf("%s%llu", i ? ", " : "", r.late[i].position);
    std::printf("],\n  \"max_behind_ms\": %.3f,\n", maxBehind(r));
    std::printf("  \"fetch_ms\": {\"count\": %u, \"p50\": %.3f, \"p99\": %.3f, \"max\": %.3f},\n",
                static_cast<unsigned>(r.fetchMs.size()), percentile(r.fetchMs, 50), percentile(r.fetchMs, 99),
                percentile(r.fetchMs, 100));
    std::printf("  \"stopped\": %s\n}\n", r.stopped ? jsonString(r.stopped).c_str() : "null");
}

} // namespace cli
