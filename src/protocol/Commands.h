#pragma once

#include "protocol/Answer.h"
#include "protocol/ExchangeEngine.h"

namespace dialvane {

// The job-language commands around the frame traffic: establish the channel, check the fax
// unit and occupy it, release it, disconnect. Worker thread only.
class CommandLayer {
  public:
    explicit CommandLayer(ExchangeEngine& engine) : engine_(engine) {}

    // Opens the channel and asks the device's name ("@QNL INQUIRE NAME").
    bool EstablishChannel();
    // NOP (an ACK or the fax-access NACK means the fax unit answers), then occupy start with
    // busy retries.
    bool ProbeNopAndOccupyStart();
    // Releases the fax; does nothing and fails when it is not (or may not be) occupied.
    bool OccupyEnd();
    // Closes the channel; always succeeds.
    bool Disconnect();
    // Open, ask the name, close: the start-up inquiry, without progress lines.
    bool ChannelTest();

    bool ChannelEstablished() const { return channelEstablished_; }
    bool FaxOccupied() const { return faxOccupied_; }
    // Occupied, or the answer to the occupy start was lost or unreadable, so the device may
    // hold the fax for us: the release is owed either way.
    bool ReleaseOwed() const { return faxOccupied_ || occupyUnanswered_; }
    void ResetFlags();
    // A stopped transfer does not report the failure of its release.
    void SetUserStopped(bool stopped) { userStopped_ = stopped; }

  private:
    bool OpenChannel();

    ExchangeEngine& engine_;
    bool channelEstablished_ = false;
    bool faxOccupied_ = false;
    bool occupyUnanswered_ = false;
    bool userStopped_ = false;
};

}  // namespace dialvane
