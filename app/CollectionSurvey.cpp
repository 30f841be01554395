#include "CollectionSurvey.h"

#include "BackgroundThread.h"
#include "PaintTable.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QMutexLocker>

#include <atomic>
#include <optional>

namespace {
// Results go to the window in batches, so it redraws a few times a second
// rather than once per aircraft.
constexpr int batchMs = 40;
// Except the first lists, and those of rows on screen: those rows wait for
// their lists to know which picture to show.
constexpr int firstSummaries = 48;
// More rows than fit on any screen.
constexpr qsizetype screenfulAsked = 80;
} // namespace

// What one start hands the worker; a newer start leaves it to run out.
struct CollectionSurvey::Work
{
    QList<AircraftEntry> aircraft;
    std::atomic_bool stopped = false;
    QMutex mutex;
    std::deque<int> preferred;   // statuses first, front first
    std::deque<int> readAgain;   // lists and statuses read again, first
    bool running = false;

    // The worker's own; one worker at a time runs on a Work.
    QList<std::optional<PaintTable>> tables;
    QList<bool> looked;
    QList<bool> listRead;
    qsizetype read = 0;
    qsizetype nextStatus = 0;
    // Kept across the aircraft: the same file is never compared twice.
    InstalledPaint installed;
};

CollectionSurvey::CollectionSurvey(QObject *parent) : QObject(parent)
{
    // One worker: the disk is read in order, and a second would only make
    // the heads of a spinning disk jump.
    m_pool.setMaxThreadCount(1);
}

CollectionSurvey::~CollectionSurvey()
{
    stop();
    m_pool.waitForDone();
}

void CollectionSurvey::start(const QList<AircraftEntry> &aircraft)
{
    stop();
    m_work = std::make_shared<Work>();
    m_work->aircraft = aircraft;
    m_work->tables.resize(aircraft.size());
    m_work->looked.fill(false, aircraft.size());
    m_work->listRead.fill(false, aircraft.size());
    m_work->running = true;
    std::shared_ptr<Work> work = m_work;
    m_pool.start([this, work] { run(work); });
}

void CollectionSurvey::stop()
{
    if (m_work)
        m_work->stopped = true;
}

bool CollectionSurvey::isBusy() const
{
    if (!m_work)
        return false;
    QMutexLocker lock(&m_work->mutex);
    return m_work->running;
}

void CollectionSurvey::prefer(const QList<int> &indices)
{
    if (!m_work)
        return;
    QMutexLocker lock(&m_work->mutex);
    for (auto it = indices.crbegin(); it != indices.crend(); ++it)
        m_work->preferred.push_front(*it);
}

void CollectionSurvey::lookAgain(int index)
{
    if (!m_work)
        return;
    bool restart = false;
    {
        QMutexLocker lock(&m_work->mutex);
        m_work->readAgain.push_back(index);
        restart = !m_work->running;
        m_work->running = true;
    }
    if (restart) {
        std::shared_ptr<Work> work = m_work;
        m_pool.start([this, work] { run(work); });
    }
}

void CollectionSurvey::run(std::shared_ptr<Work> work)
{
    moveThisThreadToBackground();
    const qsizetype count = work->aircraft.size();
    auto &tables = work->tables;
    auto &looked = work->looked;
    qsizetype &read = work->read;
    qsizetype &nextStatus = work->nextStatus;
    InstalledPaint &installed = work->installed;

    QList<Summary> summaries;
    QList<Status> statuses;
    QElapsedTimer sinceSent;
    sinceSent.start();
    bool sentAny = false;
    auto send = [&](bool now) {
        if (!now && sinceSent.elapsed() < batchMs && (sentAny || summaries.size() < firstSummaries))
            return;
        sentAny = sentAny || !summaries.isEmpty();
        if (!summaries.isEmpty()) {
            QMetaObject::invokeMethod(this, [this, summaries] { emit summariesFound(summaries); }, Qt::QueuedConnection);
            summaries.clear();
        }
        if (!statuses.isEmpty()) {
            QMetaObject::invokeMethod(this, [this, statuses] { emit statusesFound(statuses); }, Qt::QueuedConnection);
            statuses.clear();
        }
        sinceSent.restart();
    };
    auto readList = [&](int index) {
        work->listRead[index] = true;
        if (PaintTable table; PaintTable::load(work->aircraft.at(index).paintListPath, table))
            tables[index] = std::move(table);
        else
            tables[index].reset();
        Summary summary;
        summary.index = index;
        if (const std::optional<PaintTable> &table = tables[index]) {
            summary.listRead = true;
            summary.mainTexturePath = table->texturePath(PaintTable::InstalledRow);
            for (int row = PaintTable::FirstPaintRow; row < table->rowCount(); ++row) {
                summary.paintNames << table->displayText(row);
                summary.paintTexturePaths << table->texturePath(row);
            }
        }
        summaries << summary;
    };
    auto lookAt = [&](int index) {
        const QString &listPath = work->aircraft.at(index).paintListPath;
        const AircraftStatus status = tables[index] ? AircraftStatus::of(*tables[index], listPath, installed)
                                                    : AircraftStatus::of(listPath, installed);
        statuses << Status{index, status};
        looked[index] = true;
    };

    for (;;) {
        if (work->stopped)
            break;
        std::optional<int> again;
        std::optional<int> preferred;
        QList<int> listsOnScreen;
        {
            QMutexLocker lock(&work->mutex);
            if (!work->readAgain.empty()) {
                again = work->readAgain.front();
                work->readAgain.pop_front();
            } else if (read < count) {
                // The newest asked are those on screen now.
                const auto newest = work->preferred.cbegin()
                                    + std::min<qsizetype>(qsizetype(work->preferred.size()), screenfulAsked);
                for (auto it = work->preferred.cbegin(); it != newest; ++it) {
                    const int index = *it;
                    if (index >= 0 && index < count && !work->listRead[index] && !listsOnScreen.contains(index))
                        listsOnScreen << index;
                }
            } else {
                while (!work->preferred.empty() && !preferred) {
                    const int index = work->preferred.front();
                    work->preferred.pop_front();
                    if (index >= 0 && index < count && !looked[index])
                        preferred = index;
                }
            }
        }
        if (again) {
            if (*again >= 0 && *again < count) {
                readList(*again);
                lookAt(*again);
            }
        } else if (!listsOnScreen.isEmpty()) {
            for (const int index : std::as_const(listsOnScreen))
                readList(index);
            send(true);
            continue;
        } else if (read < count) {
            // Every list first: the counts and the search need them all.
            if (!work->listRead[read])
                readList(int(read));
            ++read;
        } else if (preferred) {
            lookAt(*preferred);
        } else {
            while (nextStatus < count && looked[nextStatus])
                ++nextStatus;
            if (nextStatus == count) {
                send(true);
                QMutexLocker lock(&work->mutex);
                if (!work->readAgain.empty())
                    continue;
                work->running = false;
                QMetaObject::invokeMethod(this, [this] { emit finished(); }, Qt::QueuedConnection);
                return;
            }
            lookAt(int(nextStatus));
        }
        send(false);
    }
    QMutexLocker lock(&work->mutex);
    work->running = false;
}
