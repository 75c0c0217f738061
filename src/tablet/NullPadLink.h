#pragma once

#include "PadLink.h"

// A tablet library that delivers nothing: the program runs without a tablet.
class NullPadLink : public PadLink {
public:
    void PadlinkInit(WindowHandle, std::int32_t, std::int32_t) override {}
    void PadlinkSetMove(std::int32_t) override {}
    void PadlinkSetMode(std::int32_t) override {}
    std::int32_t PadlinkWintab(std::int32_t, std::int32_t) override { return 0; }
    void PadlinkGetData(std::int32_t, std::int32_t& lLogX, std::int32_t& lLogY,
                        std::int32_t& lPenX, std::int32_t& lPenY,
                        std::int32_t& lStrokeEnd) override {
        lLogX = lLogY = lPenX = lPenY = lStrokeEnd = 0;
    }
    std::int32_t PadlinkGetDataCnt() override { return 0; }
    void PadlinkClose() override {}
};
