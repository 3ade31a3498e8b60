// The value check: which values the game refuses or misreads, and, as
// carefully, the values it reads as typed, which must never be marked.

#include "valuecheck.h"

#include <QTest>

using script::Problem;
using script::ValueKind;

Q_DECLARE_METATYPE(Problem)
Q_DECLARE_METATYPE(ValueKind)

using Verdicts = std::initializer_list<std::pair<Problem, QByteArrayList>>;

class ValueCheckTest final : public QObject
{
    Q_OBJECT

    // Each verdict with the values of that kind of box that must get it.
    static void addRows(ValueKind kind, const char *name, Verdicts verdicts)
    {
        for (const auto &[problem, values] : verdicts)
            for (const QByteArray &value : values)
                QTest::addRow("%s: %s", name, value.constData()) << kind << value << problem;
    }

private slots:
    void check_data()
    {
        QTest::addColumn<ValueKind>("kind");
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<Problem>("problem");
        addRows(ValueKind::Number, "number",
                {
                    {Problem::None,
                     {"512", "007", "0.5", ".5", "5.", "-256", "-.5", " 512 ", "\t-1.25\t"}},
                    {Problem::NoNumber, {"", "   "}},
                    {Problem::Comma, {"1,5", "512,"}},
                    {Problem::PlusSign, {"+5", "5+1"}},
                    {Problem::StrayMinus, {"- 5", "5-", "--5"}},
                    {Problem::Exponent, {"1e+30", "-2.5E-3"}},
                    {Problem::Letters, {"51O", "0x10", "abc", "90\u00b0", "1e"}},
                    {Problem::SecondPoint, {"1.2.3"}},
                    {Problem::TwoNumbers, {"1 2", "1 -2"}},
                    {Problem::NotANumber, {"-", ".", "-.", "(5)", "5//"}},
                });
        addRows(ValueKind::IdName, "ID name",
                {
                    {Problem::None,
                     {"", "bike1", "Size", "1bike", "my_Bike_2", "a$b\"c", "sizes", "#@'"}},
                    {Problem::NameBreaker,
                     {"bike 1", "bike-1", "bike.1", "t\u00fcr", "a;b", "a\tb", "a=b"}},
                    {Problem::NameKeyword, {"size"}},
                    {Problem::NameBackslash, {"a\\b"}},
                });
        addRows(
            ValueKind::Thread, "thread",
            {
                {Problem::None, {"", "open_door", "door2", "global/door.scr::open", " open_door "}},
                {Problem::ThreadColon, {"a:b", "a:::b", "x.scr::a:b"}},
                {Problem::ThreadSpace, {"open door"}},
                {Problem::ThreadSemicolon, {"a;b"}},
                {Problem::ThreadComment, {"a//b", "a/*b", "a*/b", "a b//c"}},
            });
        addRows(ValueKind::QuotedText, "quoted",
                {
                    {Problem::None,
                     {"", "vehicles/bmwbike.tik", "The door opens // now /* */ ;",
                      "T\u00fcr \u00f6ffnet"}},
                    {Problem::InnerQuote, {"say \"hi\"", "a\\\""}},
                    {Problem::Backslash, {"models\\static\\bush.tik", "C:\\new", "ends\\"}},
                });
    }
    void check()
    {
        QFETCH(ValueKind, kind);
        QFETCH(QByteArray, value);
        QFETCH(Problem, problem);
        QCOMPARE(script::checkValue(kind, value.toStdString()), problem);
    }
};

QTEST_APPLESS_MAIN(ValueCheckTest)
#include "valuecheck_test.moc"
