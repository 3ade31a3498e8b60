// Script composition: the exact bytes of both blocks and the required fields.

#include "script.h"
#include "worked_examples.h"

#include <QTest>

using namespace std::string_literals;

namespace {

script::ObjectFields bike()
{
    return {.comment = "spawn the bike",
            .idName = "bike1",
            .model = "vehicles/bmwbike.tik",
            .originX = "512",
            .originY = "-256",
            .originZ = "0",
            .angleY = "0",
            .angleP = "90",
            .angleR = "0",
            .scale = "1.0"};
}

script::TriggerFields door()
{
    return {.comment = "door trigger",
            .idName = "trig1",
            .originX = "100",
            .originY = "200",
            .originZ = "0",
            .sizeMinX = "-64",
            .sizeMinY = "-64",
            .sizeMinZ = "0",
            .sizeMaxX = "64",
            .sizeMaxY = "64",
            .sizeMaxZ = "96",
            .thread = "open_door",
            .message = "The door opens",
            .wait = "1",
            .delay = "0"};
}

const std::string kBikeBlock(examples::kObjectBlock);
const std::string kDoorBlock(examples::kTriggerBlock);

QString q(const std::string &s) { return QString::fromStdString(s); }

} // namespace

class ScriptTest final : public QObject
{
    Q_OBJECT

private slots:
    void workedExamples()
    {
        const std::string object = script::blockText(script::objectBlock(bike()));
        QCOMPARE(q(object), q(kBikeBlock));
        QCOMPARE(object.size(), 190u);
        const std::string trigger = script::blockText(script::triggerBlock(door()));
        QCOMPARE(q(trigger), q(kDoorBlock));
        QCOMPARE(trigger.size(), 252u);
    }

    void appendJoinsTheBufferDirectly_data()
    {
        QTest::addColumn<QString>("buffer");
        QTest::newRow("empty") << "";
        QTest::newRow("one block already") << q(kBikeBlock);
        QTest::newRow("ends without a line end") << "// my own note";
        QTest::newRow("only a line end") << "\r\n";
    }
    void appendJoinsTheBufferDirectly()
    {
        QFETCH(QString, buffer);
        const std::string before = buffer.toStdString();
        const std::string after = script::appendBlock(before, script::objectBlock(bike()));
        QCOMPARE(q(after), q(before + kBikeBlock));
    }

    void twoAppendsStandOneEmptyLineApart()
    {
        const std::string once = script::appendBlock("", script::objectBlock(bike()));
        const std::string twice = script::appendBlock(once, script::triggerBlock(door()));
        QVERIFY(q(twice).contains("scale = 1.0\r\n\r\n//door trigger\r\n"));
        QVERIFY(q(twice).endsWith("delay 0\r\n\r\n"));
    }

    void objectLines_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expectedLine");
        QTest::addColumn<int>("lineCount"); // separator included

        // field: 0 comment, 1 id, 2 model, 3..5 origin, 9 scale
        QTest::newRow("empty comment") << 0 << ""
                                       << "local.bike1 = spawn script_model" << 6;
        QTest::newRow("comment of one space") << 0 << " "
                                              << "// " << 7;
        QTest::newRow("id with a space") << 1 << "my bike"
                                         << "local.my bike = spawn script_model" << 7;
        QTest::newRow("id already local.") << 1 << "local.bike1"
                                           << "local.local.bike1 = spawn script_model" << 7;
        QTest::newRow("quote in the model") << 2 << "a\"b.tik"
                                            << "local.bike1 model \"a\"b.tik\"" << 7;
        QTest::newRow("empty scale") << 9 << ""
                                     << "local.bike1.scale = " << 7;
        QTest::newRow("non-ASCII kept") << 1 << "fahrrad_ü_自転車_🚲"
                                        << "local.fahrrad_ü_自転車_🚲 = spawn script_model" << 7;
    }
    void objectLines()
    {
        QFETCH(int, field);
        QFETCH(QString, value);
        QFETCH(QString, expectedLine);
        QFETCH(int, lineCount);
        script::ObjectFields f = bike();
        std::string *fields[] = {&f.comment, &f.idName, &f.model,  &f.originX, &f.originY,
                                 &f.originZ, &f.angleY, &f.angleP, &f.angleR,  &f.scale};
        *fields[field] = value.toStdString();
        const std::string text = script::blockText(script::objectBlock(f));
        QVERIFY2(q(text).contains(expectedLine + "\r\n"), text.c_str());
        QCOMPARE(q(text).count("\r\n"), lineCount);
    }

    void emptyTriplesKeepTheirSpaces()
    {
        script::ObjectFields f = bike();
        f.idName = "bike2";
        f.originX = f.originY = f.originZ = "";
        QCOMPARE(q(script::objectBlock(f)[3]), "local.bike2.origin = (    )");

        script::TriggerFields t = door();
        const auto setSizes = [&t](const char *value) {
            for (std::string *s :
                 {&t.sizeMinX, &t.sizeMinY, &t.sizeMinZ, &t.sizeMaxX, &t.sizeMaxY, &t.sizeMaxZ})
                s->assign(value);
        };
        setSizes("");
        QCOMPARE(q(script::triggerBlock(t)[3]), "local.trig1 setsize (    ) (    )");
        setSizes("0");
        QCOMPARE(q(script::triggerBlock(t)[3]), "local.trig1 setsize ( 0 0 0 ) ( 0 0 0 )");
    }

    void triggerLines()
    {
        script::TriggerFields t = door();
        t.comment = "";
        t.wait = "";
        t.delay = "";
        t.thread = "open the door";
        t.message = "say \"hi\"";
        const script::Lines lines = script::triggerBlock(t);
        QCOMPARE(lines.size(), 7u); // plus the separator: eight lines
        QCOMPARE(q(lines[0]), "local.trig1 = spawn trigger_multiple");
        QCOMPARE(q(lines[3]), "local.trig1 setthread open the door");
        QCOMPARE(q(lines[4]), "local.trig1 message \"say \"hi\"\"");
        QCOMPARE(q(lines[5]), "local.trig1 wait ");
        QCOMPARE(q(lines[6]), "local.trig1 delay ");
    }

    void requiredFields_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("second"); // model, or thread
        QTest::addColumn<QString>("third");  // message (trigger only)
        QTest::addColumn<bool>("objectMissing");
        QTest::addColumn<bool>("triggerMissing");
        QTest::newRow("all filled") << "a"
                                    << "b"
                                    << "c" << false << false;
        QTest::newRow("blanks are not empty") << " "
                                              << " "
                                              << " " << false << false;
        QTest::newRow("id empty") << ""
                                  << "b"
                                  << "c" << true << true;
        QTest::newRow("second empty") << "a"
                                      << ""
                                      << "c" << true << true;
        QTest::newRow("message empty") << "a"
                                       << "b"
                                       << "" << false << true;
        QTest::newRow("all empty") << ""
                                   << ""
                                   << "" << true << true;
    }
    void requiredFields()
    {
        QFETCH(QString, id);
        QFETCH(QString, second);
        QFETCH(QString, third);
        QFETCH(bool, objectMissing);
        QFETCH(bool, triggerMissing);
        script::ObjectFields o{};
        o.idName = id.toStdString();
        o.model = second.toStdString();
        QCOMPARE(script::objectFieldsMissing(o), objectMissing);
        script::TriggerFields t{};
        t.idName = id.toStdString();
        t.thread = second.toStdString();
        t.message = third.toStdString();
        QCOMPARE(script::triggerFieldsMissing(t), triggerMissing);
    }
};

QTEST_APPLESS_MAIN(ScriptTest)
#include "script_test.moc"
