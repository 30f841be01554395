#pragma once

#include "AircraftReview.h"

#include <QString>
#include <QStringList>

// Which aircraft and paints the collection shows for what the player typed
// and the status chosen. Every word typed must be found, in any letter
// case and any order, in the aircraft's title, its folder's name or the
// paint's name; an aircraft is shown when it or one of its paints is.
class CollectionFilter
{
public:
    enum class StatusChoice { All, WearingPaint, ChangedOutside, Problems };

    // The texts an aircraft is found by, with their letter case folded
    // once, when its list is read: a key press then compares plain text
    // across thousands of aircraft instead of folding every letter again.
    struct Subject
    {
        QString title;
        QString folderName;
        QStringList paintNames;

        static Subject of(const QString &title, const QString &folderName, const QStringList &paintNames);
    };

    void setText(const QString &text);
    void setStatusChoice(StatusChoice choice) { m_status = choice; }
    StatusChoice statusChoice() const { return m_status; }
    bool operator==(const CollectionFilter &) const = default;
    bool isEmpty() const { return m_words.isEmpty() && m_status == StatusChoice::All; }

    // Whether the status passes the choice. An aircraft not looked at yet
    // passes only "All": it is shown under a status once it has one.
    bool admitsStatus(AircraftStatus::Kind kind) const;

    // The aircraft alone, without its paints: then every paint is shown.
    bool matchesAircraft(const QString &title, const QString &folderName) const;
    bool matchesPaint(const QString &title, const QString &folderName, const QString &paintName) const;
    // The aircraft or one of its paints, and its status.
    bool admits(const QString &title, const QString &folderName, const QStringList &paintNames,
                AircraftStatus::Kind kind) const;
    // The same for a subject made by Subject::of.
    bool admits(const Subject &subject, AircraftStatus::Kind kind) const;

private:
    bool allWordsIn(std::initializer_list<const QString *> fields) const;

    QStringList m_words; // case folded
    StatusChoice m_status = StatusChoice::All;
};
