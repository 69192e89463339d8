#pragma once
// Whether this machine sends text messages, and the composer for one. A
// desktop sends none; tests and other front ends provide their own service.

#include <memory>

#include "platform/ui/MessageComposeViewController.h"

namespace qp {

class TextMessageService {
public:
    virtual ~TextMessageService() = default;
    virtual bool canSendText() const = 0;
    virtual std::shared_ptr<MessageComposeViewController> makeComposer() {
        return std::make_shared<MessageComposeViewController>();
    }
};

class DesktopTextMessageService final : public TextMessageService {
public:
    bool canSendText() const override { return false; }
};

}  // namespace qp
