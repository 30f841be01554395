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
    std::vector<std::pair<int, int>> ranked; // distance, index
    ranked.reserve(candidates.size());
    for (int index = 0; index < candidates.size(); ++index) {
        int best = std::numeric_limits<int>::max();
        for (const QString &name : candidates.at(index))
            best = std::min(best, editDistance(wanted, name));
        ranked.emplace_back(best, index);
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto &left, const auto &right) { return left.first < right.first; });
    QList<int> chosen;
    for (qsizetype i = 0; i < qsizetype(ranked.size()) && i < count; ++i)
        chosen.append(ranked[i].second);
    return chosen;
}

} // namespace ClosestNames
