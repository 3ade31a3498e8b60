// The model catalogue: counts, named positions, stored order, and that every
// entry is usable as it stands.

#include "catalogue.h"

#include <QSet>
#include <QTest>

namespace {

QString at(catalogue::List list, std::size_t position)
{
    const std::string_view entry = list[position - 1];
    return QString::fromLatin1(entry.data(), static_cast<qsizetype>(entry.size()));
}

qsizetype positionOf(catalogue::List list, std::string_view entry)
{
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i] == entry)
            return static_cast<qsizetype>(i) + 1;
    return -1;
}

} // namespace

class CatalogueTest final : public QObject
{
    Q_OBJECT

private slots:
    void counts()
    {
        QCOMPARE(catalogue::common().size(), 508u);
        QCOMPARE(catalogue::uncommon().size(), 388u);
        QCOMPARE(catalogue::suggestions().size(), 1u);
        QCOMPARE(at(catalogue::suggestions(), 1), "vehicles/bmwbike.tik");
    }

    void positions_data()
    {
        QTest::addColumn<bool>("common");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("entry");
        const std::pair<int, const char *> common[] = {{1, "static/30cal_crate.tik"},
                                                       {326, "static/steilhangrenate.tik"},
                                                       {408, "static/wrenches.tik"},
                                                       {409, "Vehicles to spawn"},
                                                       {410, "vehicles/bmwbike.tik"},
                                                       {489, "weapons/weapons/bar.tik"},
                                                       {492, "weapons/kar98.tik"},
                                                       {493, "weapons/KAR98sniper.tik"},
                                                       {506, "weapons/steilhandgranate.tik"},
                                                       {508, "weapons/thompsonsmg.tik"}};
        for (auto [position, entry] : common)
            QTest::addRow("common %d", position) << true << position << entry;
        const std::pair<int, const char *> uncommon[] = {
            {1, "animal/cockroach.tik"},      {3, "emitters such as smoke and fire"},
            {4, "emitters/adamspark.tik"},    {213, "Some Lights to spawn"},
            {214, "lights/ceilinglamp1.tik"}, {388, "posed/mg42_posed.tik"}};
        for (auto [position, entry] : uncommon)
            QTest::addRow("un-common %d", position) << false << position << entry;
    }
    void positions()
    {
        QFETCH(bool, common);
        QFETCH(int, position);
        QFETCH(QString, entry);
        const catalogue::List list = common ? catalogue::common() : catalogue::uncommon();
        QCOMPARE(at(list, static_cast<std::size_t>(position)), entry);
    }

    void storedOrderWhereSortingWouldDiffer_data()
    {
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("next");
        QTest::newRow("bshelf") << "static/bshelf-tall-thin.tik"
                                << "static/bshelf-tall-thin-damaged.tik";
        QTest::newRow("helmet") << "static/static_ushelmet_private_net.tik"
                                << "static/static_us-helmet_private_net_cig.tik";
        QTest::newRow("stuka") << "vehicles/stuka_fly.tik"
                               << "vehicles/stuka-desert.tik";
        QTest::newRow("papers") << "items/papers_open2.tik"
                                << "items/papers2.tik";
        QTest::newRow("lightbulb") << "lights/lightbulb_caged_red.tik"
                                   << "lights/lightbulb_caged_red-lit.tik";
        QTest::newRow("heading before its run") << "Vehicles to spawn"
                                                << "vehicles/bmwbike.tik";
    }
    void storedOrderWhereSortingWouldDiffer()
    {
        QFETCH(QString, first);
        QFETCH(QString, next);
        for (catalogue::List list : {catalogue::common(), catalogue::uncommon()}) {
            const qsizetype a = positionOf(list, first.toStdString());
            if (a < 0)
                continue;
            QCOMPARE(positionOf(list, next.toStdString()), a + 1);
            return;
        }
        QFAIL("entry not found");
    }

    void weaponsRunOpensWithTheRepeatedFolder()
    {
        QCOMPARE(at(catalogue::common(), 488).left(9), "vehicles/");
        QCOMPARE(at(catalogue::common(), 489), "weapons/weapons/bar.tik");
    }

    void headingsAndPathsAreWellFormed()
    {
        int headings = 0;
        int longest = 0;
        QSet<QString> seen;
        for (catalogue::List list : {catalogue::common(), catalogue::uncommon()}) {
            for (std::string_view raw : list) {
                const QString entry = QString::fromLatin1(raw.data(), qsizetype(raw.size()));
                QVERIFY2(entry.size() >= 13 && entry.size() <= 48, qPrintable(entry));
                QCOMPARE(entry.trimmed(), entry);
                for (QChar c : entry) {
                    const bool allowed = (c.unicode() < 128 && c.isLetterOrNumber())
                                         || QStringLiteral("-./_ ").contains(c);
                    QVERIFY2(allowed, qPrintable(entry));
                }
                const bool heading = !entry.contains('/');
                headings += heading;
                if (heading)
                    QVERIFY(!entry.contains(".tik"));
                else
                    QVERIFY2(entry.endsWith(".tik") && !entry.contains(' '), qPrintable(entry));
                QVERIFY2(!seen.contains(entry.toLower()), qPrintable(entry)); // unique, any case
                seen.insert(entry.toLower());
                longest = std::max(longest, int(entry.size()));
            }
        }
        QCOMPARE(headings, 3);
        QCOMPARE(seen.size(), 896);
        QCOMPARE(longest, 48);
        QVERIFY(positionOf(catalogue::common(), "static/vehicle_european_delivery_truck_green.tik")
                > 0);
        QVERIFY(positionOf(catalogue::uncommon(), "player/german_Panzer_Tankcommander_fps.tik")
                > 0);
    }

    void folderRuns_data()
    {
        QTest::addColumn<bool>("common");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<QString>("folder");
        QTest::newRow("static") << true << 1 << 408 << "static/";
        QTest::newRow("vehicles") << true << 410 << 488 << "vehicles/";
        QTest::newRow("weapons") << true << 489 << 508 << "weapons/";
        QTest::newRow("animal") << false << 1 << 2 << "animal/";
        QTest::newRow("emitters") << false << 4 << 88 << "emitters/";
        QTest::newRow("furniture") << false << 89 << 109 << "furniture/";
        QTest::newRow("human") << false << 110 << 165 << "human/";
        QTest::newRow("items") << false << 166 << 212 << "items/";
        QTest::newRow("lights") << false << 214 << 230 << "lights/";
        QTest::newRow("miscobj") << false << 231 << 310 << "miscobj/";
        QTest::newRow("player") << false << 311 << 356 << "player/";
        QTest::newRow("posed") << false << 357 << 388 << "posed/";
    }
    void folderRuns()
    {
        QFETCH(bool, common);
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(QString, folder);
        const catalogue::List list = common ? catalogue::common() : catalogue::uncommon();
        for (int position = first; position <= last; ++position)
            QVERIFY2(at(list, std::size_t(position)).startsWith(folder),
                     qPrintable(at(list, position)));
    }
};

QTEST_APPLESS_MAIN(CatalogueTest)
#include "catalogue_test.moc"
