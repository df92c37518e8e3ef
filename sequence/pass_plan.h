// What a preload pass does with each frame of a set: the window of the pass
// (the frames kept behind and ahead of the current one, in 32-bit signed
// arithmetic as the set's rules give it), the order in which the frames in it
// are loaded (the ones just ahead of the current frame first, then the ones
// just behind it) and, when the host capped the bytes the set may keep loaded,
// which of them stay out. Pure arithmetic, tested on its own.
#ifndef TIVORN_SEQUENCE_PASS_PLAN_H
#define TIVORN_SEQUENCE_PASS_PLAN_H

#include <vector>

namespace tvn {
namespace sequence {

struct PassRequest {
    unsigned frames;  // the number of frames of the set (more than 0)
    unsigned current; // the current frame
    unsigned behind;  // the window, as the set's fields hold it
    unsigned ahead;
    // The memory budget: bytes the set may keep loaded beyond its floor, the
    // keepReady(n) the host asked for last (n frames each way of the current
    // one, which are always kept). budget 0: no cap.
    unsigned long long budget;
    unsigned floor;
};

struct PassPlan {
    unsigned first, last;          // the window: frames first..last
    std::vector<unsigned> keep;    // the frames of the window to have loaded, in loading order
    std::vector<unsigned> unload;  // loaded frames to free first (never the current one)
};

// bytesOf(i): the bytes frame i holds, or, not loaded, is expected to hold.
// loaded(i): whether frame i is loaded now.
template <class Bytes, class Loaded>
void planPass(const PassRequest& r, Bytes bytesOf, Loaded loaded, PassPlan* plan);

// The window alone.
void windowOf(unsigned n, unsigned c, unsigned behind, unsigned ahead, unsigned* first, unsigned* last);

// The frames of first..last in loading order: c, c + 1, ... last, c - 1, ... first.
void loadingOrder(unsigned c, unsigned first, unsigned last, std::vector<unsigned>* order);

template <class Bytes, class Loaded>
void planPass(const PassRequest& r, Bytes bytesOf, Loaded loaded, PassPlan* plan) {
    windowOf(r.frames, r.current, r.behind, r.ahead, &plan->first, &plan->last);
    std::vector<unsigned> order;
    loadingOrder(r.current < plan->first ? plan->first : r.current > plan->last ? plan->last : r.current,
                 plan->first, plan->last, &order);
    plan->keep.clear();
    plan->unload.clear();
    std::vector<bool> kept(r.frames, false);
    unsigned long long used = 0;
    for (unsigned i : order) {
        const unsigned distance = i > r.current ? i - r.current : r.current - i;
        const unsigned long long bytes = bytesOf(i);
        const bool inFloor = distance <= r.floor;
        if (r.budget && !inFloor && i != r.current && used + bytes > r.budget) continue;
        if (!inFloor) used += bytes;
        kept[i] = true;
        plan->keep.push_back(i);
    }
    // Out of the window first, then what the budget leaves out, farthest from
    // the current frame first.
    for (unsigned i = 0; i < r.frames; ++i)
        if (!kept[i] && i != r.current && loaded(i) && (i < plan->first || i > plan->last)) plan->unload.push_back(i);
    for (auto i = order.rbegin(); i != order.rend(); ++i)
        if (!kept[*i] && *i != r.current && loaded(*i)) plan->unload.push_back(*i);
}

} // namespace sequence
} // namespace tvn

#endif
