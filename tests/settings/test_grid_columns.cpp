#include "settings/GridColumns.h"

#include "common/RecordingPrompter.h"
#include "settings/Settings.h"

#include <QHeaderView>
#include <QStandardItemModel>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using cdk::SettingsSection;

namespace {

const QList<int> kInitialWidths{40, 250, 80, 70, 50, 90, 90, 85};

// A header like the task grid's: eight columns with their initial widths.
struct Grid
{
    QStandardItemModel model{0, 8};
    QHeaderView header{Qt::Horizontal};

    Grid()
    {
        header.setMinimumSectionSize(10);
        header.setModel(&model);
        for (int i = 0; i < 8; ++i)
            header.resizeSection(i, kInitialWidths.at(i));
    }
    QList<int> order() const // logical column at each display position
    {
        QList<int> logical;
        for (int visual = 0; visual < 8; ++visual)
            logical.append(header.logicalIndex(visual));
        return logical;
    }
    QList<int> widths() const
    {
        QList<int> sizes;
        for (int i = 0; i < 8; ++i)
            sizes.append(header.sectionSize(i));
        return sizes;
    }
};

} // namespace

class TestGridColumns : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    cdk::test::RecordingPrompter m_prompter;
    cdk::clsSettings m_settings{m_prompter};

    void store(const QStringList &pairs)
    {
        for (const QString &pair : pairs)
            m_settings.Save(SettingsSection::Columns, u"MainGrid"_s + pair.section(u'=', 0, 0),
                            pair.section(u'=', 1));
    }
    qint32 stored(const QString &key)
    {
        return m_settings.LoadLong(SettingsSection::Columns, u"MainGrid"_s + key);
    }

private Q_SLOTS:
    void init()
    {
        QFile::remove(m_dir.filePath(u"settings.ini"_s));
        m_settings.setPath(m_dir.filePath(u"settings.ini"_s));
    }
    void roundTrip_data();
    void roundTrip();
    void unusableValuesLeaveColumnsAlone();
    void keysAndHiddenColumns();
};

void TestGridColumns::roundTrip_data()
{
    QTest::addColumn<QList<int>>("order");
    QTest::newRow("as created") << QList<int>{0, 1, 2, 3, 4, 5, 6, 7};
    QTest::newRow("reversed") << QList<int>{7, 6, 5, 4, 3, 2, 1, 0};
    QTest::newRow("shuffled") << QList<int>{3, 0, 6, 1, 7, 2, 5, 4};
    // Orders that placing the columns one by one in column order gets wrong.
    QTest::newRow("reversed but the last two") << QList<int>{7, 6, 5, 4, 3, 2, 0, 1};
    QTest::newRow("scattered") << QList<int>{2, 7, 0, 5, 1, 6, 4, 3};
}

void TestGridColumns::roundTrip()
{
    QFETCH(QList<int>, order);
    const QList<int> widths{21, 300, 75, 66, 41, 120, 99, 64};
    Grid before;
    for (int i = 0; i < 8; ++i) {
        before.header.moveSection(before.header.visualIndex(order.at(i)), i);
        before.header.resizeSection(i, widths.at(i));
    }
    QCOMPARE(before.order(), order);
    cdk::SaveSGridColumns(m_settings, &before.header, u"MainGrid"_s);

    Grid after;
    cdk::LoadSGridColumns(m_settings, &after.header, u"MainGrid"_s);
    QCOMPARE(after.order(), order);
    QCOMPARE(after.widths(), widths);
    QVERIFY(m_prompter.shown.isEmpty());
}

void TestGridColumns::unusableValuesLeaveColumnsAlone()
{
    store({u"SizeColumn1=0"_s, u"SizeColumn2=-40"_s, u"SizeColumn3=abc"_s,
           u"SizeColumn4=111.5"_s, u"OrderColumn1=0"_s, u"OrderColumn2=-2"_s,
           u"OrderColumn3=99"_s, u"OrderColumn4=70000"_s, u"OrderColumn8=1"_s});
    Grid grid;
    cdk::LoadSGridColumns(m_settings, &grid.header, u"MainGrid"_s);
    QList<int> widths = kInitialWidths;
    widths[3] = 112; // 111.5 rounds to the even neighbour
    QCOMPARE(grid.widths(), widths);
    QCOMPARE(grid.order(), (QList<int>{7, 0, 1, 2, 3, 4, 5, 6}));
}

void TestGridColumns::keysAndHiddenColumns()
{
    Grid grid;
    grid.header.moveSection(0, 7); // the first column shown last
    grid.header.resizeSection(2, 123);
    cdk::SaveSGridColumns(m_settings, &grid.header, u"MainGrid"_s);
    QCOMPARE(stored(u"OrderColumn1"_s), 8);
    QCOMPARE(stored(u"OrderColumn2"_s), 1);
    QCOMPARE(stored(u"SizeColumn3"_s), 123);

    // A hidden column reports width 0; its stored width must survive.
    grid.header.hideSection(2);
    grid.header.resizeSection(3, 77);
    cdk::SaveSGridColumns(m_settings, &grid.header, u"MainGrid"_s);
    QCOMPARE(stored(u"SizeColumn3"_s), 123);
    QCOMPARE(stored(u"SizeColumn4"_s), 77);
}

QTEST_MAIN(TestGridColumns)
#include "test_grid_columns.moc"
