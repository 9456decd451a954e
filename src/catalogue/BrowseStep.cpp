#include "catalogue/BrowseStep.h"

namespace browse {

Step down(int current, int count, bool looping) {
    Step step;
    if (count <= 0)
        return Step{{}, true};
    const int last = count - 1;
    // Going down from the last entry is handled like reaching the end.
    if (current >= last) {
        if (looping)
            step.rows = {0};
        else
            step.stop = true;
        return step;
    }
    const int next = current < 0 ? 0 : current + 1;
    step.rows.append(next);
    if (next == last) {
        if (looping)
            step.rows.append(0); // the last entry shows only for that instant
        else
            step.stop = true;
    }
    return step;
}

Step up(int current, int count, bool looping) {
    Step step;
    if (count <= 0)
        return Step{{}, true};
    // From no selection there is no entry above: handled like leaving the top.
    const int next = current < 0 ? -1 : current - 1;
    if (current >= 0)
        step.rows.append(next);
    if (next < 0) {
        if (looping) {
            // The designed wrap goes to the last-but-one entry; a list of one has none.
            step.rows.append(count >= 2 ? count - 2 : 0);
        } else {
            if (current < 0)
                step.rows.append(-1);
            step.stop = true;
        }
    }
    return step;
}

} // namespace browse
