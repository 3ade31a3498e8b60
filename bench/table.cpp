#include "table.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <algorithm>
#include <cstdio>

namespace {
struct Row
{
    QString what;
    QString figure;
    QString target;
    std::optional<bool> met; // empty: reported only, no target
};

QList<Row> g_rows;

} // namespace

QString ms(double value)
{
    return QString::number(value, 'f', value < 10 ? 3 : 1) + QStringLiteral(" ms");
}

void report(const QString &what, const QString &figure, const QString &target,
            std::optional<bool> met)
{
    g_rows.append({what, figure, target, met});
}

void reportMs(const QString &what, double value, std::optional<double> limit)
{
    if (limit)
        report(what, ms(value), QStringLiteral("<= ") + ms(*limit), value <= *limit);
    else
        report(what, ms(value));
}

void progress(const char *what) { std::fprintf(stderr, "  %s\n", what); }

QString mebibytes(qint64 kib) { return QString::number(double(kib) / 1024, 'f', 1) + " MiB"; }

void printTable()
{
    QList<QStringList> lines{{QStringLiteral("Measurement"), QStringLiteral("Figure"),
                              QStringLiteral("Target"), QStringLiteral("Result")}};
    for (const Row &row : g_rows)
        lines.append({row.what, row.figure, row.target,
                      !row.met   ? QStringLiteral("info")
                      : *row.met ? QStringLiteral("PASS")
                                 : QStringLiteral("MISS")});
    qsizetype width[4] = {};
    for (const QStringList &line : lines)
        for (int i = 0; i < 4; ++i)
            width[i] = std::max(width[i], line[i].size());
    for (const QStringList &line : lines) {
        // Figures and targets read best right-aligned.
        std::printf("%-*s  %*s  %*s  %s\n", int(width[0]), qPrintable(line[0]), int(width[1]),
                    qPrintable(line[1]), int(width[2]), qPrintable(line[2]), qPrintable(line[3]));
        if (&line == &lines.first())
            std::printf("%s\n", QByteArray(width[0] + width[1] + width[2] + 14, '-').constData());
    }
}
