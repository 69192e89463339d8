#include "facebook/FacebookAppId.h"

namespace qp {

const char* facebookAppId() {
    return QP_FACEBOOK_APP_ID;
}

}  // namespace qp
