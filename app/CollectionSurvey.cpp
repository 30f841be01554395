#include "CollectionSurvey.h"

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
    m_pool.setThreadPriority(QThread::LowPriority);
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
    auto send = [&](bool now) {
        if (!now && sinceSent.elapsed() < batchMs)
            return;
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
        {
            QMutexLocker lock(&work->mutex);
            if (!work->readAgain.empty()) {
                again = work->readAgain.front();
                work->readAgain.pop_front();
            } else if (read == count) {
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
        } else if (read < count) {
            // Every list first: the counts and the search need them all.
            readList(int(read++));
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
