#include "settings/IniFile.h"

#include "base/Log.h"
#include "IniTestFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using cdk::IniFile;
using cdk::test::fileBytes;
using cdk::test::writeFileBytes;

class TestIniFile : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readRules_data();
    void readRules();
    void writeRules_data();
    void writeRules();
    void refusesLinesThatWouldBreakTheFile();
    void fileIsCreatedAndReReadEveryTime();
    void readOfSmallFileIsFast();
};

void TestIniFile::readRules_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");

    const QByteArray basic = "[General]\r\nRunOnStartup=1\r\nName=abc\r\n[Sort]\r\nColumn=3\r\n";
    QTest::newRow("crlf") << basic << "Sort" << "Column" << "3";
    QTest::newRow("case ignored") << basic << "gEnErAl" << "RUNONSTARTUP" << "1";
    QTest::newRow("key of another section") << basic << "Sort" << "Name" << "";
    QTest::newRow("missing section") << basic << "Backup" << "Column" << "";
    QTest::newRow("lf, no trailing newline") << QByteArray("[A]\nx=1\nk=last") << "A" << "k"
                                             << "last";
    QTest::newRow("first duplicate key wins") << QByteArray("[A]\nk=1st\nk=2nd\n") << "A"
                                              << "k" << "1st";
    QTest::newRow("only the first section of a name counts")
        << QByteArray("[A]\nx=1\n[B]\n[a]\nk=later\n") << "A" << "k" << "";
    QTest::newRow("keys before any section belong to none")
        << QByteArray("k=outside\n[A]\nj=1\n") << "A" << "k" << "";
    QTest::newRow("line without equals sign, comment")
        << QByteArray("[A]\nk\n;k=no\nk=real\n") << "A" << "k" << "real";
    QTest::newRow("blanks trimmed") << QByteArray(" [ A ] \n \t k  = a=b \t\n") << "A" << "k"
                                    << "a=b";
    const QByteArray x300 = "[A]\nk=" + QByteArray(300, 'x') + "\n";
    QTest::newRow("300 characters read as 255") << x300 << "A" << "k" << QString(255, u'x');
    // A cut through a surrogate pair would hand out half a character.
    QTest::newRow("no half character")
        << ("[A]\nk=" + QByteArray(254, 'x') + "\xF0\x9F\x98\x80") << "A" << "k"
        << QString(254, u'x');
}

void TestIniFile::readRules()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    QCOMPARE(IniFile::valueIn(content, section, key), expected);
}

void TestIniFile::writeRules_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("after");

    const QByteArray head = "; by hand\r\njunk line\r\n[General]\r\n";
    const QByteArray tail = "\r\n; trailing comment\r\n[Sort]\r\nColumn=2\r\n";
    const QByteArray messy = head + "  Font = 9  \r\nFont=dup\r\n" + tail;
    QTest::newRow("rewrite in place, everything else kept")
        << messy << "general" << "FONT" << QByteArray(head + "FONT=v\r\nFont=dup\r\n" + tail);
    QTest::newRow("new key after the section's last key")
        << messy << "General" << "Size"
        << QByteArray(head + "  Font = 9  \r\nFont=dup\r\nSize=v\r\n" + tail);
    QTest::newRow("new section at the end")
        << messy << "Backup" << "Dir" << QByteArray(messy + "[Backup]\r\nDir=v\r\n");
    QTest::newRow("lf kept") << QByteArray("[A]\nk=1\n") << "B" << "j"
                             << QByteArray("[A]\nk=1\n[B]\nj=v\n");
    QTest::newRow("new file gets crlf") << QByteArray() << "A" << "k" << QByteArray("[A]\r\nk=v\r\n");
    QTest::newRow("section without keys") << QByteArray("[A]\n[B]\nx=1\n") << "A" << "k"
                                          << QByteArray("[A]\nk=v\n[B]\nx=1\n");
    QTest::newRow("no trailing newline, rewrite") << QByteArray("[A]\r\nk=1") << "A" << "k"
                                                  << QByteArray("[A]\r\nk=v");
    QTest::newRow("no trailing newline, new key") << QByteArray("[A]\r\nk=1") << "A" << "j"
                                                  << QByteArray("[A]\r\nk=1\r\nj=v\r\n");
    QTest::newRow("no trailing newline, new section") << QByteArray("[A]\nk=1") << "B" << "j"
                                                      << QByteArray("[A]\nk=1\n[B]\nj=v\n");
    QTest::newRow("key of the duplicate section goes to the first")
        << QByteArray("[A]\nx=1\n[A]\nk=old\n") << "A" << "k"
        << QByteArray("[A]\nx=1\nk=v\n[A]\nk=old\n");
    QTest::newRow("key outside sections left alone") << QByteArray("k=out\n[A]\n") << "A" << "k"
                                                     << QByteArray("k=out\n[A]\nk=v\n");
    QTest::newRow("byte-order mark and mixed endings kept")
        << QByteArray("\xEF\xBB\xBF[A]\r\nk=1\n[B]\r\n") << "A" << "k"
        << QByteArray("\xEF\xBB\xBF[A]\r\nk=v\n[B]\r\n");
}

void TestIniFile::writeRules()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QByteArray, after);
    const QByteArray written = IniFile::withValue(before, section, key, u"v"_s);
    QCOMPARE(written, after);
    QCOMPARE(IniFile::valueIn(written, section, key), u"v"_s);
}

void TestIniFile::refusesLinesThatWouldBreakTheFile()
{
    QVERIFY(IniFile::isWritable(u"General"_s, u"Key"_s, u"C:\\a b=c"_s));
    QVERIFY(!IniFile::isWritable(u""_s, u"Key"_s, u"v"_s));
    QVERIFY(!IniFile::isWritable(u"Gen]eral"_s, u"Key"_s, u"v"_s));
    QVERIFY(!IniFile::isWritable(u"General"_s, u"a=b"_s, u"v"_s));
    QVERIFY(!IniFile::isWritable(u"General"_s, u"[x"_s, u"v"_s));
    QVERIFY(!IniFile::isWritable(u"General"_s, u"Key"_s, u"a\r\nb"_s));

    QTemporaryDir dir;
    const IniFile ini(dir.filePath(u"settings.ini"_s));
    cdk::IniError error;
    QVERIFY(!ini.write(u"General"_s, u"Key"_s, u"a\nb"_s, &error));
    QVERIFY(!error.description.isEmpty());
    QVERIFY(!QFile::exists(ini.path()));
}

void TestIniFile::fileIsCreatedAndReReadEveryTime()
{
    QTemporaryDir dir;
    const IniFile ini(dir.filePath(u"settings.ini"_s));
    QString value = u"stale"_s;
    QVERIFY(ini.read(u"Sort"_s, u"Column"_s, &value));
    QCOMPARE(value, QString());
    QVERIFY(!QFile::exists(ini.path())); // reading creates nothing

    QVERIFY(ini.write(u"Sort"_s, u"Column"_s, u"3"_s));
    QCOMPARE(fileBytes(ini.path()), QByteArray("[Sort]\r\nColumn=3\r\n"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{u"settings.ini"_s});

    // Another program edits the file behind our back: the next read sees it.
    QVERIFY(writeFileBytes(ini.path(), "[Sort]\nColumn=5\n"));
    QVERIFY(ini.read(u"Sort"_s, u"Column"_s, &value));
    QCOMPARE(value, u"5"_s);
}

void TestIniFile::readOfSmallFileIsFast()
{
    QTemporaryDir dir;
    const IniFile ini(dir.filePath(u"settings.ini"_s));
    QByteArray content;
    for (int section = 0; section < 7; ++section) {
        content += "[Section" + QByteArray::number(section) + "]\r\n";
        for (int key = 0; key < 12; ++key)
            content += "SomeLongerKeyName" + QByteArray::number(key) + "=" + QByteArray::number(key * 37) + "\r\n";
    }
    QVERIFY(writeFileBytes(ini.path(), content));

    constexpr int reads = 500;
    QString value;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < reads; ++i)
        QVERIFY(ini.read(u"Section6"_s, u"SomeLongerKeyName11"_s, &value));
    const double microseconds = timer.nsecsElapsed() / 1000.0 / reads;
    QCOMPARE(value, u"407"_s);
    qCInfo(lcSettings, "read of the last key of a %lld-byte file: %.1f us",
           static_cast<long long>(content.size()), microseconds);
    QVERIFY2(microseconds < 1000.0, qPrintable(QString::number(microseconds)));
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "test_inifile.moc"
