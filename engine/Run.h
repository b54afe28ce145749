#pragma once
// A kind of run as the frame drives it (engine/RunFrame.cpp): the frame opens its ports
// and closes them after; the run does its own work between and ends with its final row.

class Run {
public:
    virtual ~Run() = default;
    virtual void Work() = 0;
};
