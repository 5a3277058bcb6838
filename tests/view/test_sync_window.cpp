// The window's sync as a user meets it: File, Sync..., signing in to a real
// CalDAV server (Radicale), then changes going out by themselves and coming
// in on Sync Now. The sync runs in the real chronodeck-sync beside the test.
#include "MainWindowHarness.h"

#include "sync/RadicaleServer.h"

#include <QComboBox>
#include <QLineEdit>

using namespace cdk;
using namespace Qt::StringLiterals;
using test::makeTask;

class TestSyncWindow final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void signInThenChangesTravelBothWays()
    {
        RadicaleServer server;
        QVERIFY2(server.ready(), qPrintable(server.failure()));
        test::MainWindowHarness h;
        h.addTask(h.today(), makeTask(1, u"Write the report"_s, 90));
        h.showWindow();
        // The keyring may be missing here: the password stays in memory.
        h.action("mnuSync")->trigger();
        QWidget *frm = nullptr;
        QTRY_VERIFY((frm = [] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (w->objectName() == u"frmSync"_s && w->isVisible())
                    return w;
            return static_cast<QWidget *>(nullptr);
        }()));
        auto *state = frm->findChild<QLabel *>(u"lblSyncState"_s);
        QCOMPARE(state->text(), u"State: Not set up"_s);
        frm->findChild<QLineEdit *>(u"txtSyncServer"_s)->setText(server.url().toString());
        frm->findChild<QLineEdit *>(u"txtSyncUser"_s)->setText(server.user());
        frm->findChild<QLineEdit *>(u"txtSyncPassword"_s)->setText(server.password());
        auto *lists = frm->findChild<QComboBox *>(u"cmbSyncList"_s);
        lists->setCurrentIndex(lists->findText(u"Make a new list \"Chronodeck\""_s));
        QTest::mouseClick(frm->findChild<QPushButton *>(u"cmdSyncSignIn"_s), Qt::LeftButton);
        QTRY_VERIFY2_WITH_TIMEOUT(state->text().startsWith(u"State: Synced "_s),
                                  qPrintable(state->text() + u' '
                                             + frm->findChild<QLabel *>(u"lblSyncMessage"_s)->text()),
                                  30'000);
        QVERIFY(h.settings().text(Setting::SyncCollection).contains(u"/alice/"_s));

        // The phone adds a task for the day shown; Sync Now brings it in.
        const QString due = QStringLiteral("datetime.date(%1, %2, %3)")
                                .arg(h.clock.today().year())
                                .arg(h.clock.today().month())
                                .arg(h.clock.today().day());
        QString error;
        QVERIFY2(server.phone(u"import datetime\n"
                              "cal = [c for c in principal.calendars() if c.name == 'Chronodeck'][0]\n"
                              "print(len(cal.todos()))\n"
                              "cal.save_todo(summary='Buy stamps', due="_s
                                  + due + u")\n"_s,
                              &error),
                 qPrintable(error));
        QTest::mouseClick(frm->findChild<QPushButton *>(u"cmdSyncNow"_s), Qt::LeftButton);
        const auto shown = [&h] {
            QStringList subjects = h.shownSubjects();
            subjects.sort();
            return subjects;
        };
        QTRY_COMPARE_WITH_TIMEOUT(shown(), (QStringList {u"Buy stamps"_s, u"Write the report"_s}),
                                  30'000);

        // Checked off here: it goes out by itself two seconds later.
        h.context().operations.checkTasks(h.today(), {1}, true,
                                          TaskOperations::TrackedCheckOff::StopTracking);
        const auto statusOnPhone = [&server] {
            const auto out = server.phone(
                u"cal = [c for c in principal.calendars() if c.name == 'Chronodeck'][0]\n"
                "for t in cal.todos(include_completed=True):\n"
                "    v = t.vobject_instance.vtodo\n"
                "    if v.summary.value == 'Write the report': print(v.status.value)\n"_s);
            return out ? out->trimmed() : QByteArray();
        };
        QTRY_COMPARE_WITH_TIMEOUT(statusOnPhone(), QByteArray("COMPLETED"), 30'000);
        QVERIFY(h.takeShown().isEmpty());
    }
};

QTEST_MAIN(TestSyncWindow)
#include "test_sync_window.moc"
