#pragma once
// The analysis thread of the add-video form.

#include <QThread>

class AnalyzeVideo : public QThread {
public:
    explicit AnalyzeVideo(bool createSuspended);
};
