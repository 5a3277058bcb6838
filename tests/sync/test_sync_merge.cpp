// The three-way merge of one task: what each side changed survives, time done
// adds up, and a field changed on both sides goes to the later change.
#include "sync/SyncMapping.h"
#include "sync/SyncMerge.h"

#include <QTest>
#include <QTimeZone>

#include <functional>

using namespace cdk::sync;
using namespace Qt::StringLiterals;

namespace {

const QDateTime kEarly = QDateTime(QDate(2024, 3, 5), QTime(9, 0), Qt::UTC);
const QDateTime kLate = kEarly.addSecs(3600);

SyncTask baseTask()
{
    SyncTask t;
    t.uid = u"u1"_s;
    t.list = u"05032024"_s;
    t.subject = u"Write report"_s;
    t.category = u"Work"_s;
    t.budgetMinutes = 60;
    t.doneSeconds = 600;
    t.state = 1;
    t.priority = 2;
    t.lastModified = kEarly;
    return t;
}

} // namespace

class TestSyncMerge final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void eachSideKeepsWhatOnlyItChanged()
    {
        const SyncTask base = baseTask();
        SyncTask local = base;
        local.subject = u"Write the report"_s;
        local.doneSeconds = 900; // tracked 5 minutes here
        local.state = 4;
        local.lastModified = kLate;
        SyncTask remote = base;
        remote.list = u"06032024"_s; // moved to the next day there
        remote.priority = 5;
        remote.category = QString();
        remote.doneSeconds = 1320; // and 12 minutes there
        remote.lastModified = kEarly.addSecs(60);

        SyncTask expected = local;
        expected.list = u"06032024"_s;
        expected.priority = 5;
        expected.category = QString();
        expected.doneSeconds = 600 + 300 + 720;
        QCOMPARE(mergeTask(base, local, remote), expected);
        // The same from the other side's point of view, but for the times.
        SyncTask mirrored = mergeTask(base, remote, local);
        mirrored.lastModified = expected.lastModified;
        QCOMPARE(mirrored, expected);
        QCOMPARE(mergeTask(base, local, base), local);
        QCOMPARE(mergeTask(base, base, remote), remote);
    }

    void bothSidesChangedTheSameField_data()
    {
        QTest::addColumn<QDateTime>("localTime");
        QTest::addColumn<QDateTime>("remoteTime");
        QTest::addColumn<QString>("subject");
        QTest::newRow("remote later") << kEarly << kLate << u"there"_s;
        QTest::newRow("local later") << kLate << kEarly << u"here"_s;
        QTest::newRow("same time") << kLate << kLate << u"here"_s;
        QTest::newRow("remote time unknown") << kEarly << QDateTime() << u"here"_s;
        QTest::newRow("local time unknown") << QDateTime() << kEarly << u"there"_s;
    }

    void bothSidesChangedTheSameField()
    {
        QFETCH(QDateTime, localTime);
        QFETCH(QDateTime, remoteTime);
        QFETCH(QString, subject);
        const SyncTask base = baseTask();
        SyncTask local = base;
        local.subject = u"here"_s;
        local.budgetMinutes = 90; // changed here only: kept whoever is later
        local.lastModified = localTime;
        SyncTask remote = base;
        remote.subject = u"there"_s;
        remote.state = 3; // changed there only
        remote.lastModified = remoteTime;
        const SyncTask merged = mergeTask(base, local, remote);
        QCOMPARE(merged.subject, subject);
        QCOMPARE(merged.budgetMinutes, 90);
        QCOMPARE(merged.state, 3);
    }

    // Time taken back on one side is taken back from the sum; never below 0.
    void timeDoneAddsTheIncrements_data()
    {
        QTest::addColumn<qint64>("local");
        QTest::addColumn<qint64>("remote");
        QTest::addColumn<qint64>("merged");
        QTest::newRow("both tracked") << qint64(660) << qint64(1200) << qint64(1260);
        QTest::newRow("reset here, tracked there") << qint64(0) << qint64(900) << qint64(300);
        QTest::newRow("reset on both sides") << qint64(0) << qint64(0) << qint64(0);
        QTest::newRow("unchanged") << qint64(600) << qint64(600) << qint64(600);
    }

    void timeDoneAddsTheIncrements()
    {
        QFETCH(qint64, local);
        QFETCH(qint64, remote);
        QFETCH(qint64, merged);
        const SyncTask base = baseTask();
        SyncTask l = base;
        l.doneSeconds = local;
        SyncTask r = base;
        r.doneSeconds = remote;
        QCOMPARE(mergeTask(base, l, r).doneSeconds, merged);
    }

    // The quick test of a Base on the unchanged tasks: it must never call a
    // changed task unchanged, and must see the unchanged ones as such.
    void baseTextAgreesOnlyWithTheSameContent_data()
    {
        QTest::addColumn<SyncTask>("agreed");
        QTest::newRow("day task") << baseTask();
        SyncTask templ = baseTask();
        templ.list = u"recurrent"_s;
        templ.rule = u"31010100]"_s;
        QTest::newRow("template") << templ;
        SyncTask bare = baseTask();
        bare.category.clear();
        bare.lastModified = QDateTime();
        bare.state = 0;
        QTest::newRow("no category, no time") << bare;
        SyncTask escaped = baseTask();
        escaped.subject = u"Say \"hi\" \\ \t\n\r\b\f \u0001\u001f\u007f é \u2028 😀"_s;
        escaped.category = u"Büro/\"A\""_s;
        escaped.lastModified = QDateTime(QDate(2024, 3, 5), QTime(9, 0), QTimeZone(7200));
        QTest::newRow("characters JSON escapes") << escaped;
        SyncTask extreme = baseTask();
        extreme.budgetMinutes = -5;
        extreme.doneSeconds = 2147483647LL * 60;
        extreme.priority = 5;
        QTest::newRow("extreme numbers") << extreme;
    }

    void baseTextAgreesOnlyWithTheSameContent()
    {
        QFETCH(SyncTask, agreed);
        const QString text = toBaseText({agreed, std::nullopt});
        SyncTask here = agreed;
        here.lastModified = kLate; // the time of a later run
        QVERIFY(sameContent(*fromBaseText(text).agreed, here));
        QVERIFY(baseTextAgrees(text, here));

        const QList<std::function<void(SyncTask &)>> changes {
            [](SyncTask &t) { t.list = u"06032024"_s; },
            [](SyncTask &t) { t.subject.chop(1); },
            [](SyncTask &t) { t.subject += u"\""_s; },
            [](SyncTask &t) { t.rule = t.rule.isEmpty() ? u"0]"_s : QString(); },
            [](SyncTask &t) { t.category = t.category.isEmpty() ? u"Work"_s : QString(); },
            [](SyncTask &t) { t.category += u"s"_s; },
            [](SyncTask &t) { t.budgetMinutes += 1; },
            [](SyncTask &t) { t.doneSeconds -= 1; },
            [](SyncTask &t) { t.state = 4; },
            [](SyncTask &t) { t.priority = 0; },
        };
        for (qsizetype i = 0; i < changes.size(); ++i) {
            SyncTask changed = here;
            changes[i](changed);
            QVERIFY2(!baseTextAgrees(text, changed), qPrintable(u"change %1"_s.arg(i)));
        }
        // Another UID, a write under way, nothing agreed: the full reading
        // decides.
        SyncTask renamed = here;
        renamed.uid = u"u2"_s;
        QVERIFY(!baseTextAgrees(text, renamed));
        QVERIFY(!baseTextAgrees(toBaseText({agreed, here}), here));
        QVERIFY(!baseTextAgrees(toBaseText({std::nullopt, here}), here));
        QVERIFY(!baseTextAgrees(QString(), here));
    }
};

QTEST_GUILESS_MAIN(TestSyncMerge)
#include "test_sync_merge.moc"
