#pragma once
// The analysis thread of the add-video form: measures the opened video with the outside tools, asks check.php
// whether it is already catalogued, runs the analyzer and reports to the form. Every window update and the
// check.php request run on the user-interface thread through Synchronize.

#include <QThread>

#include "platform/UnicodeString.h"

class AnalyzeVideo : public QThread {
public:
    // A running thread unless `createSuspended`; a suspended one never runs. The thread works on its own copy of
    // Source taken here, so a later open cannot change the video under a running analysis.
    explicit AnalyzeVideo(bool createSuspended);
    // Deleting waits until a running analysis has ended (WaitUntilEnded, then the thread's own end).
    ~AnalyzeVideo() override;

    // Waits until the analysis has ended, in a local event loop, so that the calls it synchronises (its messages
    // included) still run meanwhile. A thread that never started has ended. False when the application began to
    // quit during the wait: the analysis then runs on and ends with the process, and waiting any longer would
    // block the thread's next synchronised call for ever.
    bool WaitUntilEnded();

protected:
    void run() override;

private:
    void Execute();

    // Runs `method` on the user-interface thread and waits for it; an exception it raises comes back here.
    void Synchronize(void (AnalyzeVideo::*method)());
    // Ends the analysis without success: VIDEO_OK false, then `message` on the user-interface thread.
    void Stop(void (AnalyzeVideo::*message)());

    void ShowVideoInfo();
    void CheckHash();
    void ShowResult();
    void ShowAnalyzeVideoError();
    void ShowFileNotFound();
    void ShowVideoPropertiesError();
    void ShowHashNotCounted();
    void ShowMakeTableError();

    void SetProgressBand(int lo, int hi);

    const UnicodeString source_;
};

// The progress band of the running analysis, which the form's ticker reads at any moment while the analysis
// thread moves it on.
struct ProgressBand {
    int lo;
    int hi;
};
ProgressBand CurrentProgressBand();
