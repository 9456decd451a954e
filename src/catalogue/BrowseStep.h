#pragma once

#include <QList>

// One tick of automatic browsing: the rows selected in turn (the last one stays selected; -1
// means no selection) and whether browsing stops.
namespace browse {

struct Step {
    QList<int> rows;
    bool stop = false;
};

Step down(int current, int count, bool looping);
Step up(int current, int count, bool looping);

} // namespace browse
