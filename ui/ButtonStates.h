// Which command buttons a state of the run allows, and what Pause reads. A pure rule: the one
// place that decides them.
#pragma once

enum class RunView { Idle, Scanning, Paused, Deleting };

struct ButtonStates {
    bool start;
    bool pause;
    bool stop;
    bool deleteOne;
    bool deleteAll;
    const char* pauseCaption;
};

ButtonStates ButtonStatesFor(RunView view);
