// The value marks: which values the game refuses or misreads in their line of
// a block, with the sentence each gets; and, as carefully, the values it reads
// as typed, which must never be marked.

#include "tabletext.h"
#include "valuecheck.h"

#include <QFile>
#include <QTest>

using script::ValueKind;

Q_DECLARE_METATYPE(ValueKind)

namespace {

// The sentences, written out once: a mark must give the one of its own problem.
const char *const kEmpty = "The game finds no value in an empty box: type a number, such as 0.";
const char *const kComma = "The game reads a comma as a word of its own and cannot load the "
                           "line: write 1.5, not 1,5.";
const char *const kPlus = "The game has no plus sign and cannot load the line: write 5, not +5.";
const char *const kMinus = "The game cannot load a minus sign that is not right before the "
                           "digits: write -5.";
const char *const kPower = "The game splits a power of ten such as 1e+30 into two values: "
                           "write the number in full.";
const char *const kLetters = "The game reads letters or symbols in a number as a name, not a "
                             "number: write digits only.";
const char *const kPoints = "The game drops everything from a second point on: write one "
                            "point, as in 1.5.";
const char *const kTwo = "The game reads a space inside a number as two values: write one "
                         "number.";
const char *const kEndPoint = "One of the game's readers takes a number ending in a point as a "
                              "name: write 5 or 5.0, not 5.";
const char *const kLarge = "The game keeps whole numbers up to 2147483647: write a smaller "
                           "number.";
const char *const kComment = "The game reads //, /* and */ as comment marks and loses the rest "
                             "of the line or script: leave them out.";
const char *const kName = "The game cannot load a name holding a space, a sign or an accented "
                          "letter: use letters, digits and _, as in bike_1.";
const char *const kDigits = "The game reads a name of digits alone as a number and cannot load "
                            "the line: start it with a letter, as in bike12.";
const char *const kSize = "The game reads size as a keyword and cannot load the line: write "
                          "Size or another name.";
const char *const kNameSlash = "The game drops a backslash from a name, so a\\b becomes ab: "
                               "leave it out.";
const char *const kBrackets = "The game reads brackets and commas as words of their own: write "
                              "the label alone, as in open_door.";
const char *const kColons = "The game reads :: only between a script path and a label: write "
                            "open, or global/door.scr::open.";
const char *const kSpace = "The game reads a space as the end of the thread name: write "
                           "open_door, not open door.";
const char *const kSemicolon = "The game ends the line at ; and runs the rest as a command: "
                               "leave it out.";
const char *const kLabel = "The game does not read this as a label: write a name of letters, "
                           "digits and _, as in open_door.";
const char *const kOpen = "The game reads everything after /* as a comment, and no */ closes it.";
const char *const kQuote = "The game ends the text at a double quote and reads the rest as "
                           "script: use ' instead.";
const char *const kSlash = "The game reads a backslash as an escape, so C:\\new gets a line "
                           "break: write / instead.";

} // namespace

class ValueCheckTest final : public QObject
{
    Q_OBJECT

    static void row(ValueKind kind, const char *value, const char *sentence = "")
    {
        QTest::addRow("%d: %s", int(kind), value) << kind << QByteArray(value) << sentence;
    }

private slots:
    void check_data()
    {
        QTest::addColumn<ValueKind>("kind");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<QString>("sentence");
        for (const char *fine :
             {"512", "007", ".5", "-256", "-.5", " 512 ", "\t-1.25\t", "2147483647"})
            row(ValueKind::Vector, fine);
        row(ValueKind::Vector, "", kEmpty);
        row(ValueKind::Vector, "1,5", kComma);
        row(ValueKind::Vector, "+5", kPlus);
        row(ValueKind::Vector, "- 5", kMinus);
        row(ValueKind::Vector, "5-", kMinus);
        row(ValueKind::Vector, "1e+30", kPower);
        row(ValueKind::Vector, "51O", kLetters);
        row(ValueKind::Vector, "90\u00b0", kLetters);
        row(ValueKind::Vector, "1.2.3", kPoints);
        row(ValueKind::Vector, "1 2", kTwo);
        row(ValueKind::Vector, "-5.", kEndPoint);
        row(ValueKind::Vector, "5. ", kEndPoint);
        row(ValueKind::Vector, "\t-5.\t", kEndPoint);
        row(ValueKind::Vector, "99999999999", kLarge);
        row(ValueKind::Scale, "1.0");
        row(ValueKind::Scale, "", kEmpty); // the game reads on into the next line
        row(ValueKind::Scale, "5.", kEndPoint);
        row(ValueKind::Argument, "1");
        row(ValueKind::Argument, "", kEmpty); // loads, with no value given
        row(ValueKind::Argument, "1 2", kTwo);
        row(ValueKind::Argument, "5//x", kComment);

        for (const char *fine :
             {"bike1", "crate[1]", "missile.cam", "crate[local.i]", "Size", "1bike", "a$b", ""})
            row(ValueKind::IdName, fine);
        for (const char *broken : {"crate#1", "bob's", "my bike", "bike.1", "t\u00fcr", "a=b"})
            row(ValueKind::IdName, broken, kName);
        row(ValueKind::IdName, "12", kDigits);
        row(ValueKind::IdName, "size", kSize);
        row(ValueKind::IdName, "bike.size", kSize);
        row(ValueKind::IdName, "a\\b", kNameSlash);

        for (const char *fine : {"open_door", "global/door.scr::open", " open ", "a//b", ""})
            row(ValueKind::Thread, fine);
        row(ValueKind::Thread, "open_door()", kBrackets);
        row(ValueKind::Thread, "a,b", kBrackets);
        row(ValueKind::Thread, "::open", kColons);
        row(ValueKind::Thread, "a:b", kColons);
        row(ValueKind::Thread, "open door", kSpace);
        row(ValueKind::Thread, "a;b", kSemicolon);
        row(ValueKind::Thread, "a //b", kComment);
        row(ValueKind::Thread, "a /*b", kOpen);
        row(ValueKind::Thread, "local.x", kLabel);

        for (const char *fine : {"vehicles/bmwbike.tik", "a // b /* c ;", "T\u00fcr", ""})
            row(ValueKind::QuotedText, fine);
        row(ValueKind::QuotedText, "say \"hi\"", kQuote);
        row(ValueKind::QuotedText, "models\\static\\bush.tik", kSlash);
        row(ValueKind::QuotedText, "ends\\", kSlash);
    }
    void check()
    {
        QFETCH(ValueKind, kind);
        QFETCH(QByteArray, value);
        QFETCH(QString, sentence);
        QCOMPARE(QString::fromStdString(script::checkValue(kind, value.toStdString())), sentence);
    }

    // One-box edits of a plain block that the game's readers refuse: every one
    // of them is marked. (The table holds their verdicts, see its maker.)
    void refusedBlocksAreMarked()
    {
        QFile table(QStringLiteral(SPAWNSMITH_BOX_TABLE));
        QVERIFY2(table.open(QIODevice::ReadOnly), qPrintable(table.fileName()));
        const QHash<QByteArray, ValueKind> kinds{
            {"vector", ValueKind::Vector},     {"scale", ValueKind::Scale},
            {"argument", ValueKind::Argument}, {"idname", ValueKind::IdName},
            {"thread", ValueKind::Thread},     {"quoted", ValueKind::QuotedText}};
        int refused = 0;
        while (!table.atEnd()) {
            const QList<QByteArray> row = table.readLine().chopped(1).split('\t');
            if (row[0].startsWith('#') || row[1] != "stops")
                continue;
            ++refused;
            const std::string value = unescape(row[2]);
            QVERIFY2(!script::checkValue(kinds.value(row[0]), value).empty(),
                     (row[0] + ": " + row[2]).constData());
        }
        QVERIFY(refused >= 300);
    }
};

QTEST_APPLESS_MAIN(ValueCheckTest)
#include "valuecheck_test.moc"
