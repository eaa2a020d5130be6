// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/catalog.h"

#include <QTest>

#include <span>

using namespace Qt::StringLiterals;

namespace {

enum class List { Basic, Expand, ExpandRead };

std::span<const std::string_view> entries(List list)
{
    switch (list) {
    case List::Basic:
        return kBasicCommands;
    case List::Expand:
        return kExpandCommands;
    case List::ExpandRead:
        return kExpandReadCommands;
    }
    return {};
}

QString text(std::string_view entry)
{
    return QString::fromLatin1(entry.data(), qsizetype(entry.size()));
}

// Entry numbers count from 1, as the operator sees them in the list.
QString entry(List list, int number)
{
    return text(entries(list)[std::size_t(number - 1)]);
}

} // namespace

class CatalogTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void shouldHoldTheListSizes()
    {
        QCOMPARE(kBasicCommands.size(), 61u);
        QCOMPARE(kExpandCommands.size(), 283u);
        QCOMPARE(kExpandReadCommands.size(), 83u);
    }

    void shouldSpellEntriesExactly_data()
    {
        QTest::addColumn<List>("list");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("expected");
        const auto add = [](const char *name, List list, int number, const QString &expected) {
            QTest::newRow(name) << list << number << expected;
        };
        using enum List;

        add("basic first", Basic, 1, u"C00[CR]     :POWER ON"_s);
        add("basic last", Basic, 61, u"CR7[CR]     :Lamp Mode Read"_s);
        add("expand first", Expand, 1,
            u"CF KEYEMU RIGHT[CR]  \t:Behave the same as corresponding key of projector top panel"_s);
        add("expand group member", Expand, 2, u"CF KEYEMU LEFT[CR]"_s);
        add("expand last", Expand, 283, u"CF FDEFAULT RST[CR]  \t\t:Set the value to Factory Default"_s);
        add("expand volume placeholder", Expand, 22, u"CF VOLUME 0%%[CR]  \t:% = 0-9"_s);
        add("expand two-tab placeholder", Expand, 115, u"CF TDOTS %%%%[CR]  \t\t:% = 0-9"_s);
        add("input computer1 head", Expand, 25, u"CF INPUT COMPUTER1[CR] \t:Select Input"_s);
        add("input computer2 trailing blanks", Expand, 26, u"CF INPUT COMPUTER2[CR] \t"_s);
        add("input4 three spaces", Expand, 47,
            u"CF INPUT4 S-VIDEO[CR]   :Select S-video and set input selected in %1"_s);
        add("lampmode one space two tabs", Expand, 104, u"CF LAMPMODE NORMAL[CR] \t\t:Select Lamp mode"_s);
        add("lamplife one space one tab", Expand, 108,
            u"CF LAMPLIFECONTRL MODE1[CR] \t:Select Lamp life mode"_s);
        add("english eight spaces", Expand, 198,
            u"CF LANG ENG[CR]  \t\t:Select English        Select language for OSD"_s);
        add("turkish one space two tabs", Expand, 215, u"CF LANG TUR[CR] \t\t:Select Turkih"_s);
        add("logo head", Expand, 236, u"CF LOGO %%%% OFF[CR]  \t\t:Set Logo function"_s);
        add("logo member", Expand, 237, u"CF LOGO %%%% DFLT[CR]"_s);
        add("power management time", Expand, 252, u"CF P-MANETIME %%[CR]"_s);
        add("read first", ExpandRead, 1, u"CR STATUS[CR] \t:Get setting status of Projector behavior"_s);
        add("read ten chars", ExpandRead, 11, u"CR INPUT[CR] \t:Get selected Input No."_s);
        add("read eleven chars", ExpandRead, 6,
            u"CR TEMPWARN[CR] :Get if temperature is close to abnomal temperature"_s);
        add("read trailing space", ExpandRead, 8,
            u"CR TEMPFAIL[CR] :Get temperature when sensors approach abnomal temperature "_s);
        add("read next to last", ExpandRead, 82, u"CR IMGGMD[CR] \t:Get setting value of image Gamma"_s);
        add("read last", ExpandRead, 83, u" "_s);
    }

    void shouldSpellEntriesExactly()
    {
        QFETCH(List, list);
        QFETCH(int, number);
        QFETCH(QString, expected);
        QCOMPARE(entry(list, number), expected);
    }

    void shouldKeepPlaceholdersInTheExpandListOnly()
    {
        const QStringList expected = {
            u"CF VOLUME 0%%"_s,   u"CF VSCALE 0%%"_s,    u"CF VPOS 0%%"_s,       u"CF HSCALE 0%%"_s,
            u"CF HPOS 0%%"_s,     u"CF FSYNC 00%%"_s,    u"CF TDOTS %%%%"_s,     u"CF CLAMP %%%%"_s,
            u"CF H-POS %%%%"_s,   u"CF V-POS %%%%"_s,    u"CF DDOTS %%%%"_s,     u"CF DLINE %%%%"_s,
            u"CF BRIGHT 0%%"_s,   u"CF CONT 0%%"_s,      u"CF COLOR 0%%"_s,      u"CF TINT 0%%"_s,
            u"CF SHARP 0%%"_s,    u"CF GAMMA 0%%"_s,     u"CF WBAL-R 0%%"_s,     u"CF WBAL-G 0%%"_s,
            u"CF WBAL-B 0%%"_s,   u"CF LOGO %%%% OFF"_s, u"CF LOGO %%%% DFLT"_s, u"CF LOGO %%%% USER"_s,
            u"CF LOGO %%%% UP"_s, u"CF LOGO %%%% DN"_s,  u"CF P-MANETIME %%"_s,  u"CF PJPINCODE %%%%"_s,
        };
        QStringList found;
        QStringList descriptionOnly;
        for (std::string_view e : kExpandCommands) {
            const QString s = text(e);
            if (commandPart(s).contains(u'%'))
                found << commandPart(s).toString();
            else if (s.contains(u'%'))
                descriptionOnly << commandPart(s).toString();
        }
        QCOMPARE(found, expected);
        QCOMPARE(descriptionOnly, QStringList({u"CF INPUT1 ANALOG"_s, u"CF INPUT2 ANALOG"_s,
                                               u"CF INPUT3 VIDEO"_s, u"CF INPUT4 S-VIDEO"_s}));
        for (List list : {List::Basic, List::ExpandRead}) {
            for (std::string_view e : entries(list))
                QVERIFY2(!text(e).contains(u'%'), e.data());
        }
    }

    // The placeholder rows show the head's separator before their hint.
    void shouldGivePlaceholderRowsTheirHint()
    {
        int rows = 0;
        for (std::string_view e : kExpandCommands) {
            const QString s = text(e);
            if (s.endsWith(u":% = 0-9"_s)) {
                ++rows;
                QVERIFY2(s.contains(u"[CR]  \t"_s), e.data());
            }
        }
        QCOMPARE(rows, 21);
    }

    // Every entry but the last of Expand Read (a single space) ends its
    // command part with the one marker; basic codes are three characters.
    void shouldHoldOneMarkerAndNoOtherBracket()
    {
        for (List list : {List::Basic, List::Expand, List::ExpandRead}) {
            const auto all = entries(list);
            const std::size_t checked = list == List::ExpandRead ? all.size() - 1 : all.size();
            for (std::size_t i = 0; i < checked; ++i) {
                const QString s = text(all[i]);
                QVERIFY2(s.count(u"[CR]"_s) == 1 && s.count(u'[') == 1, all[i].data());
                QVERIFY2(list != List::Basic || commandPart(s).size() == 3, all[i].data());
            }
        }
        QVERIFY(!text(kExpandReadCommands.back()).contains(u'['));
    }

    // Up to ten characters of command part the separator is a space and a
    // tab, from eleven a space alone.
    void shouldSeparateReadEntriesByLength()
    {
        for (std::size_t i = 0; i + 1 < kExpandReadCommands.size(); ++i) {
            const QString s = text(kExpandReadCommands[i]);
            const QStringView part = commandPart(s);
            const QString separator = part.size() <= 10 ? u" \t:"_s : u" :"_s;
            QVERIFY2(part.startsWith(u"CR "_s), kExpandReadCommands[i].data());
            QVERIFY2(s.sliced(part.size() + 4).startsWith(separator), kExpandReadCommands[i].data());
        }
    }

    void shouldCutAtTheFirstBracket_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("part");
        QTest::addColumn<QByteArray>("wire");

        QTest::newRow("basic entry") << u"C00[CR]     :POWER ON"_s << u"C00"_s << "C00\r"_ba;
        QTest::newRow("placeholder row")
            << u"CF TDOTS %%%%[CR]  \t\t:% = 0-9"_s << u"CF TDOTS %%%%"_s << "CF TDOTS %%%%\r"_ba;
        QTest::newRow("single space") << u" "_s << u" "_s << " \r"_ba;
        QTest::newRow("no bracket") << u"CF VOLUME 015"_s << u"CF VOLUME 015"_s << "CF VOLUME 015\r"_ba;
        QTest::newRow("text after marker") << u"C00[CR]C01"_s << u"C00"_s << "C00\r"_ba;
        QTest::newRow("several brackets") << u"C0[1[CR]"_s << u"C0"_s << "C0\r"_ba;
        QTest::newRow("leading bracket") << u"[CR]C00"_s << QString() << "\r"_ba;
        QTest::newRow("empty") << QString() << QString() << "\r"_ba;
        QTest::newRow("latin-1 byte") << u"C\u00e9[CR]"_s << u"C\u00e9"_s << "C\xe9\r"_ba;
    }

    void shouldCutAtTheFirstBracket()
    {
        QFETCH(QString, text);
        QFETCH(QString, part);
        QFETCH(QByteArray, wire);
        QCOMPARE(commandPart(text).toString(), part);
        QCOMPARE(wireCommand(text), wire);
    }
};

QTEST_GUILESS_MAIN(CatalogTest)
#include "tst_catalog.moc"
