#pragma once

// Application-wide settings every run (and every test) starts with.

class QApplication;

void setUpApplication(QApplication &app);
