#pragma once
// The app-wide state record's scalar flags. Every read and write is
// indivisible: the theme-of-the-day feed reads currentThemeIsCOTD on a worker
// thread while the editor sets it on the main thread.

#include <atomic>
#include <cstdint>

namespace qp {

class AppState {
public:
    std::int32_t deviceType() const { return m_deviceType.load(); }
    void setDeviceType(std::int32_t type) { m_deviceType.store(type); }

    bool startButtonWasPressed() const { return m_startButtonWasPressed.load(); }
    void setStartButtonWasPressed(bool pressed) { m_startButtonWasPressed.store(pressed); }

    bool currentThemeIsCOTD() const { return m_currentThemeIsCOTD.load(); }
    void setCurrentThemeIsCOTD(bool isCOTD) { m_currentThemeIsCOTD.store(isCOTD); }

private:
    std::atomic<std::int32_t> m_deviceType{0};
    std::atomic<bool> m_startButtonWasPressed{false};
    std::atomic<bool> m_currentThemeIsCOTD{false};
};

}  // namespace qp
