#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// For "no such name" messages: a game may hold hundreds of aircraft, and a
// list of all of them buries the one the player misspelt.
namespace ClosestNames {

// How many single-character edits turn one text into the other, letter case
// ignored.
int editDistance(const QString &a, const QString &b);

// The indexes of the `count` candidates nearest to `wanted`, nearest first;
// each candidate is known by several names (title, folder, ...) and counts
// by its nearest. Of equally near ones, the one sharing a longer start with
// `wanted` comes first, then the candidates' order.
QList<int> nearest(const QString &wanted, const QList<QStringList> &candidates, int count);

} // namespace ClosestNames
