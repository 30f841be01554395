#include "ClosestNames.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <vector>

namespace ClosestNames {

int editDistance(const QString &a, const QString &b)
{
    const QString from = a.toCaseFolded();
    const QString to = b.toCaseFolded();
    // One row of the table at a time: names are short, lists long.
    std::vector<int> row(to.size() + 1);
    std::iota(row.begin(), row.end(), 0);
    for (qsizetype i = 1; i <= from.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i);
        for (qsizetype j = 1; j <= to.size(); ++j) {
            const int above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (from.at(i - 1) == to.at(j - 1) ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[to.size()];
}

QList<int> nearest(const QString &wanted, const QList<QStringList> &candidates, int count)
{
    struct Rank
    {
        int distance = std::numeric_limits<int>::max();
        qsizetype sharedStart = 0; // a misspelling keeps the start more often than not
        int index = 0;
    };
    const QString folded = wanted.toCaseFolded();
    std::vector<Rank> ranked;
    ranked.reserve(candidates.size());
    for (int index = 0; index < candidates.size(); ++index) {
        Rank rank{std::numeric_limits<int>::max(), 0, index};
        for (const QString &name : candidates.at(index)) {
            const QString other = name.toCaseFolded();
            qsizetype shared = 0;
            while (shared < folded.size() && shared < other.size() && folded.at(shared) == other.at(shared))
                ++shared;
            const int distance = editDistance(wanted, name);
            if (distance < rank.distance || (distance == rank.distance && shared > rank.sharedStart)) {
                rank.distance = distance;
                rank.sharedStart = shared;
            }
        }
        ranked.push_back(rank);
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const Rank &left, const Rank &right) {
        return left.distance != right.distance ? left.distance < right.distance : left.sharedStart > right.sharedStart;
    });
    QList<int> chosen;
    for (qsizetype i = 0; i < qsizetype(ranked.size()) && i < count; ++i)
        chosen.append(ranked[i].index);
    return chosen;
}

} // namespace ClosestNames
