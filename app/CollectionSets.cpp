#include "CollectionSets.h"

#include "CollectionModel.h"
#include "PaintSetFile.h"
#include "SectionName.h"
#include "TCollectionForm.h"
#include "TRezidu.h"
#include "TSetReportForm.h"

#include <QAbstractProxyModel>
#include <QFileDialog>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>

CollectionSets::CollectionSets(TCollectionForm *form, TRezidu *mainWindow)
    : QObject(form)
    , m_form(form)
    , m_main(mainWindow)
{
    QMenu *menu = form->setsMenu();
    auto add = [&](const QString &text, const QString &name, auto slot) {
        QAction *action = menu->addAction(text, this, slot);
        action->setObjectName(name);
    };
    add(QStringLiteral("&Save every aircraft as a set..."), QStringLiteral("actionSaveSet"), [this] { saveSet(false); });
    add(QStringLiteral("Save the aircraft &shown as a set..."), QStringLiteral("actionSaveShownSet"), [this] { saveSet(true); });
    add(QStringLiteral("&Apply a set..."), QStringLiteral("actionApplySet"), &CollectionSets::applySet);
    menu->addSeparator();
    add(QStringLiteral("&Rename a set..."), QStringLiteral("actionRenameSet"), &CollectionSets::renameSet);
    add(QStringLiteral("&Delete a set..."), QStringLiteral("actionDeleteSet"), &CollectionSets::deleteSet);
    menu->addSeparator();
    add(QStringLiteral("&Export a set to a file..."), QStringLiteral("actionExportSet"), &CollectionSets::exportSet);
    add(QStringLiteral("&Import a set from a file..."), QStringLiteral("actionImportSet"), &CollectionSets::importSet);
}

QList<int> CollectionSets::shownAircraft() const
{
    QList<int> shown;
    const QAbstractProxyModel *filtered = m_form->filterModel();
    for (int row = 0; row < filtered->rowCount(); ++row)
        shown << filtered->mapToSource(filtered->index(row, 0)).row();
    return shown;
}

QString CollectionSets::askForSet(const QString &title) const
{
    const QStringList names = m_store.names();
    if (names.isEmpty()) {
        QMessageBox::information(m_form, SectionName, QStringLiteral("There are no paint sets yet."));
        return QString();
    }
    bool ok = false;
    const QString name = QInputDialog::getItem(m_form, title, QStringLiteral("Paint set:"), names, 0, false, &ok);
    return ok ? name : QString();
}

std::optional<PaintSet> CollectionSets::loadAskedSet(const QString &title)
{
    const QString name = askForSet(title);
    if (name.isEmpty())
        return std::nullopt;
    PaintSet set;
    if (const PaintResult loaded = m_store.load(name, set); !loaded) {
        tell(loaded);
        return std::nullopt;
    }
    return set;
}

QString CollectionSets::askForName(const QString &title, const QString &proposed) const
{
    bool ok = false;
    const QString name = QInputDialog::getText(m_form, title, QStringLiteral("Name of the paint set:"), QLineEdit::Normal,
                                               proposed, &ok);
    if (!ok)
        return QString();
    if (const QString problem = PaintSetFile::problemWithName(name); !problem.isEmpty()) {
        QMessageBox::warning(m_form, SectionName, problem);
        return QString();
    }
    return name;
}

void CollectionSets::showReport(const QString &summary, const SetReport &report)
{
    TSetReportForm form(summary, report, m_form);
    form.setObjectName(QStringLiteral("SetReport"));
    form.exec();
}

void CollectionSets::tell(const PaintResult &result)
{
    if (!result)
        QMessageBox::warning(m_form, SectionName, result.message());
}

void CollectionSets::showChanges()
{
    m_form->model()->reload();
    m_main->showAircraft(m_main->hangar().selectedIndex(), TRezidu::Reload::Always);
}

void CollectionSets::saveSet(bool shownOnly)
{
    if (m_main->hangarBusy())
        return;
    const QList<int> only = shownOnly ? shownAircraft() : QList<int>();
    if (shownOnly && only.isEmpty()) {
        QMessageBox::information(m_form, SectionName, QStringLiteral("No aircraft is shown."));
        return;
    }
    const QString name = askForName(QStringLiteral("Save as a paint set"), QString());
    if (name.isEmpty())
        return;
    if (m_store.contains(name)
        && QMessageBox::question(m_form, SectionName,
                                 QStringLiteral("Replace the paint set \"%1\" with what the aircraft wear now?").arg(name))
               != QMessageBox::Yes)
        return;
    const int selected = m_main->hangar().selectedIndex();
    SetReport report;
    const PaintSet set = m_main->hangar().currentSet(name, only, &report);
    m_main->showAircraft(selected, TRezidu::Reload::Always);
    const PaintResult saved = m_store.save(set);
    if (!saved) {
        tell(saved);
        return;
    }
    showReport(QStringLiteral("The paint set \"%1\" holds %2 aircraft.").arg(name).arg(set.choices.size()), report);
}

void CollectionSets::applySet()
{
    if (m_main->hangarBusy())
        return;
    const std::optional<PaintSet> set = loadAskedSet(QStringLiteral("Apply a paint set"));
    if (!set)
        return;
    const QString &name = set->name;
    // On a worker, as a restore of every aircraft: Cancel stops between two.
    auto applyOnWorker = [this](const PaintSet &chosen, Hangar::ChangedOriginal changed, WorkProgress &progress) {
        SetReport done;
        m_main->runOnHangar(m_form, QStringLiteral("Applying the paint set \"%1\"…").arg(chosen.name), progress,
                            QStringLiteral("Stopping; the paints applied so far stay on…"),
                            [&] { done = m_main->hangar().applySet(chosen, changed, &progress); });
        return done;
    };
    WorkProgress progress;
    SetReport report = applyOnWorker(*set, Hangar::ChangedOriginal::Refuse, progress);
    qsizetype left = set->choices.size() - report.outcomes.size();
    // The aircraft changed outside Corvane are asked about once, together.
    const QList<SetOutcome> questions = report.questions();
    if (!questions.isEmpty() && !progress.isCancelled()) {
        QStringList names;
        for (const SetOutcome &question : questions)
            names << question.aircraft;
        QMessageBox keep(QMessageBox::Question, SectionName,
                         QStringLiteral("The main texture of %1 changed outside Corvane, perhaps by an update of the "
                                        "aircraft. Keep each as its new original (the old one stays as a paint) and "
                                        "apply the set there too?")
                             .arg(names.join(QStringLiteral(", "))),
                         QMessageBox::Yes | QMessageBox::No, m_form);
        keep.setEscapeButton(QMessageBox::No);
        if (keep.exec() == QMessageBox::Yes) {
            PaintSet asked{set->name, {}};
            for (const PaintChoice &choice : set->choices) {
                if (names.contains(choice.aircraftLabel()))
                    asked.choices << choice;
            }
            WorkProgress adopting;
            const SetReport adopted = applyOnWorker(asked, Hangar::ChangedOriginal::Adopt, adopting);
            left += asked.choices.size() - adopted.outcomes.size();
            report.outcomes.removeIf([](const SetOutcome &outcome) { return outcome.result.changedOutside; });
            report.outcomes += adopted.outcomes;
        }
    }
    showChanges();
    QString summary = QStringLiteral("The paint set \"%1\": %2 applied, %3 already on, %4 not applied.")
                          .arg(name)
                          .arg(report.count(SetOutcome::Kind::Applied))
                          .arg(report.count(SetOutcome::Kind::AlreadyOn))
                          .arg(report.outcomes.size() - report.count(SetOutcome::Kind::Applied)
                               - report.count(SetOutcome::Kind::AlreadyOn));
    if (left > 0)
        summary += QStringLiteral(" Stopped: %1 more aircraft were left as they were.").arg(left);
    showReport(summary, report);
}

void CollectionSets::deleteSet()
{
    const QString name = askForSet(QStringLiteral("Delete a paint set"));
    if (name.isEmpty()
        || QMessageBox::question(m_form, SectionName, QStringLiteral("Delete the paint set \"%1\"?").arg(name))
               != QMessageBox::Yes)
        return;
    tell(m_store.remove(name));
}

void CollectionSets::renameSet()
{
    const QString name = askForSet(QStringLiteral("Rename a paint set"));
    if (name.isEmpty())
        return;
    const QString newName = askForName(QStringLiteral("Rename a paint set"), name);
    if (!newName.isEmpty())
        tell(m_store.rename(name, newName));
}

void CollectionSets::exportSet()
{
    if (m_main->hangarBusy())
        return;
    const std::optional<PaintSet> set = loadAskedSet(QStringLiteral("Export a paint set"));
    if (!set)
        return;
    const QString &name = set->name;
    const QString file = QFileDialog::getSaveFileName(m_form, QStringLiteral("Export the paint set \"%1\"").arg(name),
                                                      name + QStringLiteral(".json"),
                                                      QStringLiteral("Paint set (*.json)"));
    if (file.isEmpty())
        return;
    SetReport report;
    const PaintSet shared = m_main->hangar().shareable(*set, &report);
    m_main->showAircraft(m_main->hangar().selectedIndex(), TRezidu::Reload::Always);
    const PaintResult written = PaintSetStore::exportTo(shared, file);
    if (!written) {
        tell(written);
        return;
    }
    showReport(QStringLiteral("The paint set \"%1\" was written to %2 with %3 aircraft.")
                   .arg(name, written.file)
                   .arg(shared.choices.size()),
               report);
}

void CollectionSets::importSet()
{
    if (m_main->hangarBusy())
        return;
    const QString file = QFileDialog::getOpenFileName(m_form, QStringLiteral("Import a paint set"), QString(),
                                                      QStringLiteral("Paint set (*.json)"));
    if (file.isEmpty())
        return;
    PaintSet shared;
    if (const PaintResult read = PaintSetFile::read(file, shared); !read) {
        tell(read);
        return;
    }
    QString name = shared.name;
    while (!PaintSetFile::problemWithName(name).isEmpty() || m_store.contains(name)) {
        name = askForName(QStringLiteral("Import a paint set"), name);
        if (name.isEmpty())
            return;
    }
    SetReport report;
    PaintSet here = m_main->hangar().matchHere(shared, &report);
    m_main->showAircraft(m_main->hangar().selectedIndex(), TRezidu::Reload::Always);
    here.name = name;
    if (const PaintResult added = m_store.add(here); !added) {
        tell(added);
        return;
    }
    showReport(QStringLiteral("The paint set \"%1\" was imported: %2 of %3 aircraft found with their paint.")
                   .arg(name)
                   .arg(report.count(SetOutcome::Kind::Listed))
                   .arg(here.choices.size()),
               report);
}
