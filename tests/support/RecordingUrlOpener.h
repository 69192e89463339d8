#pragma once
// A URL opener that answers canOpenURL from a set of schemes and records what
// it was asked to open.

#include <set>
#include <string>
#include <vector>

#include "platform/UrlOpener.h"

namespace qp {

class RecordingUrlOpener : public UrlOpener {
public:
    bool canOpenURL(const std::string& url) const override {
        return openableSchemes.count(urlScheme(url)) > 0;
    }
    bool openURL(const std::string& url) override {
        opened.push_back(url);
        return canOpenURL(url);
    }

    std::set<std::string> openableSchemes;
    std::vector<std::string> opened;
};

}  // namespace qp
