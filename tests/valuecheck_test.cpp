// The value check: which values the game refuses or misreads, and, as
// carefully, the values it reads as typed, which must never be marked.

#include "valuecheck.h"

#include <QTest>

using script::Problem;
using script::ValueKind;

Q_DECLARE_METATYPE(Problem)

namespace {

struct Row
{
    const char *value;
    Problem problem;
};

void addRows(std::initializer_list<Row> rows)
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<Problem>("problem");
    for (const Row &row : rows)
        QTest::newRow(row.value) << QByteArray(row.value) << row.problem;
}

void check(ValueKind kind)
{
    QFETCH(QByteArray, value);
    QFETCH(Problem, problem);
    QCOMPARE(script::checkValue(kind, value.toStdString()), problem);
}

} // namespace

class ValueCheckTest final : public QObject
{
    Q_OBJECT

private slots:
    void number_data()
    {
        addRows({
            {"512", Problem::None},       {"007", Problem::None},
            {"0.5", Problem::None},       {".5", Problem::None},
            {"5.", Problem::None},        {"-256", Problem::None},
            {"-.5", Problem::None},       {" 512 ", Problem::None},
            {"\t-1.25\t", Problem::None}, {"", Problem::NoNumber},
            {"   ", Problem::NoNumber},   {"1,5", Problem::Comma},
            {"512,", Problem::Comma},     {"+5", Problem::PlusSign},
            {"5+1", Problem::PlusSign},   {"- 5", Problem::StrayMinus},
            {"5-", Problem::StrayMinus},  {"--5", Problem::StrayMinus},
            {"1e+30", Problem::Exponent}, {"-2.5E-3", Problem::Exponent},
            {"51O", Problem::Letters},    {"0x10", Problem::Letters},
            {"abc", Problem::Letters},    {"90\u00b0", Problem::Letters},
            {"1e", Problem::Letters},     {"1.2.3", Problem::SecondPoint},
            {"1 2", Problem::TwoNumbers}, {"1 -2", Problem::TwoNumbers},
            {"-", Problem::NotANumber},   {".", Problem::NotANumber},
            {"-.", Problem::NotANumber},  {"(5)", Problem::NotANumber},
            {"5//", Problem::NotANumber},
        });
    }
    void number() { check(ValueKind::Number); }

    void idName_data()
    {
        addRows({
            {"", Problem::None},
            {"bike1", Problem::None},
            {"Size", Problem::None},
            {"1bike", Problem::None},
            {"my_Bike_2", Problem::None},
            {"a$b\"c", Problem::None},
            {"sizes", Problem::None},
            {"#@'", Problem::None},
            {"bike 1", Problem::NameBreaker},
            {"bike-1", Problem::NameBreaker},
            {"bike.1", Problem::NameBreaker},
            {"t\u00fcr", Problem::NameBreaker},
            {"a;b", Problem::NameBreaker},
            {"a\tb", Problem::NameBreaker},
            {"a=b", Problem::NameBreaker},
            {" bike", Problem::NameBreaker},
            {"size", Problem::NameKeyword},
            {"a\\b", Problem::NameBackslash},
        });
    }
    void idName() { check(ValueKind::IdName); }

    void thread_data()
    {
        addRows({
            {"", Problem::None},
            {"open_door", Problem::None},
            {"door2", Problem::None},
            {"global/door.scr::open", Problem::None},
            {" open_door ", Problem::None},
            {"a:b", Problem::ThreadColon},
            {"a:::b", Problem::ThreadColon},
            {"x.scr::a:b", Problem::ThreadColon},
            {"open door", Problem::ThreadSpace},
            {"a;b", Problem::ThreadSemicolon},
            {"a//b", Problem::ThreadComment},
            {"a/*b", Problem::ThreadComment},
            {"a*/b", Problem::ThreadComment},
            {"a b//c", Problem::ThreadComment},
        });
    }
    void thread() { check(ValueKind::Thread); }

    void quotedText_data()
    {
        addRows({
            {"", Problem::None},
            {"vehicles/bmwbike.tik", Problem::None},
            {"The door opens // now /* */ ;", Problem::None},
            {"T\u00fcr \u00f6ffnet sich", Problem::None},
            {"say \"hi\"", Problem::InnerQuote},
            {"a\\\"", Problem::InnerQuote},
            {"models\\static\\bush.tik", Problem::Backslash},
            {"C:\\new", Problem::Backslash},
            {"ends\\", Problem::Backslash},
        });
    }
    void quotedText() { check(ValueKind::QuotedText); }

    // Every problem has its own sentence; none for a value the game reads.
    void sentences()
    {
        QVERIFY(script::explain(Problem::None).empty());
        QSet<QByteArray> seen;
        for (int p = int(Problem::NoNumber); p <= int(Problem::Backslash); ++p) {
            const std::string_view text = script::explain(Problem(p));
            QVERIFY(text.starts_with("The game ") && text.ends_with('.'));
            seen.insert(QByteArray(text.data(), qsizetype(text.size())));
        }
        QCOMPARE(seen.size(), int(Problem::Backslash));
    }
};

QTEST_APPLESS_MAIN(ValueCheckTest)
#include "valuecheck_test.moc"
