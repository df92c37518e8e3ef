// index.html of the demo: every step's picture with its caption and time.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "demo.h"

namespace cli {
namespace {

std::string escape(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

const char kHead[] = R"(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>tivorn demo</title>
<style>
body { font-family: sans-serif; margin: 1.5em; background: #f4f4f4; color: #222; }
main { display: flex; flex-wrap: wrap; gap: 1em; align-items: flex-start; }
figure { margin: 0; padding: .6em; background: #fff; border: 1px solid #ccc; border-radius: 4px; }
figure img { display: block; max-width: 420px; height: auto; image-rendering: pixelated; }
/* The rule above would show hidden frames too: an author rule beats the browser's own [hidden]. */
[hidden] { display: none !important; }
figcaption { max-width: 420px; margin-top: .4em; font-size: 90%; }
.time { color: #666; }
img.broken { outline: 3px solid #c00; }
.missing { width: 160px; height: 120px; display: flex; align-items: center; justify-content: center;
           background: #fdd; color: #900; font-weight: bold; }
#status { font-weight: bold; }
</style>
</head>
<body>
)";

// After loading, the page says whether every picture arrived (a broken image is
// outlined); headless checks read the result from the DOM.
const char kTail[] = R"(<script>
// Animations: the frames of a figure.anim shown one after another, as a host plays an image set.
document.querySelectorAll('figure.anim').forEach(function (figure) {
  var frames = figure.querySelectorAll('img'), shown = 0;
  setInterval(function () {
    frames[shown].hidden = true;
    shown = (shown + 1) % frames.length;
    frames[shown].hidden = false;
  }, 120);
});
window.addEventListener('load', function () {
  var images = document.querySelectorAll('main img'), broken = 0;
  images.forEach(function (img) {
    var ok = img.complete && img.naturalWidth > 0;
    img.dataset.loaded = ok ? 'yes' : 'no';
    if (!ok) { img.classList.add('broken'); broken++; }
  });
  var status = document.getElementById('status');
  status.textContent = broken ? broken + ' of ' + images.length + ' pictures failed to load'
                              : 'all ' + images.length + ' pictures loaded';
  status.dataset.broken = String(broken);
});
</script>
</body>
</html>
)";

} // namespace

bool writeDemoPage(const std::string& out, const std::vector<DEMO_SHOT>& shots, double totalMs) {
    const std::string path = (std::filesystem::path(out) / "index.html").string();
    std::ofstream page(path, std::ios::binary);
    page << kHead;
    page << "<h1>tivorn " << escape(tvnVersion()) << ": every capability on the shipped pictures</h1>\n";
    unsigned failed = 0;
    for (const DEMO_SHOT& s : shots)
        failed += s.failed ? 1 : 0;
    page << "<p>" << shots.size() << " steps";
    if (failed)
        page << " (" << failed << " failed)";
    page << " in " << escape(formatMs(totalMs))
         << " (reading, writing the pictures included). Times are those of the library calls of each step; "
            "transparent areas show the checkerboard. <span id=\"status\">checking pictures&hellip;</span></p>\n";
    page << "<main>\n";
    // Frames of an animation ("anim-..." files in a row) share one figure.
    for (std::size_t i = 0; i < shots.size(); ++i) {
        const DEMO_SHOT& s = shots[i];
        if (!s.failed && s.file.rfind("anim-", 0) == 0) {
            page << "<figure class=\"anim\">";
            std::size_t end = i;
            for (; end < shots.size() && !shots[end].failed && shots[end].file.rfind("anim-", 0) == 0; ++end)
                page << "<img src=\"" << escape(shots[end].file) << "\" alt=\"frame " << end - i << "\" width=\""
                     << 3 * shots[end].width << "\" height=\"" << 3 * shots[end].height << "\"" << (end > i ? " hidden" : "")
                     << ">";
            page << "\n<figcaption><b>" << escape(s.title) << "</b> &mdash; " << end - i
                 << " frames of an image set made from one file name, played in turn<br><span class=\"time\">"
                 << s.width << "&times;" << s.height << "</span></figcaption></figure>\n";
            i = end - 1;
            continue;
        }
        if (s.failed) {
            page << "<figure class=\"failed\"><div class=\"missing\">failed</div>\n<figcaption><b>" << escape(s.title)
                 << "</b> &mdash; " << escape(s.note) << "</figcaption></figure>\n";
            continue;
        }
        page << "<figure><img src=\"" << escape(s.file) << "\" alt=\"" << escape(s.title) << "\" width=\""
             << s.width << "\" height=\"" << s.height << "\">\n<figcaption><b>" << escape(s.title) << "</b> &mdash; "
             << escape(s.note) << "<br><span class=\"time\">" << s.width << "&times;" << s.height << ", "
             << escape(formatMs(s.ms)) << "</span></figcaption></figure>\n";
    }
    page << "</main>\n" << kTail;
    page.close();
    if (!page) {
        error(path + ": cannot be written");
        return false;
    }
    return true;
}

} // namespace cli
