#pragma once

// The benchmark's one table: each measurement with its figure and, where it
// has one, its target and whether it was met; printed at the end.

#include <QString>

#include <optional>

QString ms(double value);
QString mebibytes(qint64 kib);
void report(const QString &what, const QString &figure, const QString &target = QStringLiteral("-"),
            std::optional<bool> met = {});
void reportMs(const QString &what, double value, std::optional<double> limit = {});
// What is being measured now, on the standard error, for whoever waits.
void progress(const char *what);
void printTable();
