#pragma once

// The codec-independent settings of a profile: file, device, container, audio and
// video, all from one constant schema table of 26 rows and 91 attributes.

#include <memory>
#include <span>
#include <string>

#include "profile/ProfileBase.h"

namespace profile {

class CProfileCommon : public CProfileBase {
public:
    CProfileCommon() = default;                       // no tree until Init("common")
    CProfileCommon(const CProfileCommon& other) = default;
    explicit CProfileCommon(const CProfileBase& other);  // deep copy of any section's tree

    void Init(const std::string& name) override;
    std::unique_ptr<CProfileBase> Clone() const override;

    // The schema rows Init applies, in order.
    static std::span<const CProfileSchema> Schema();
};

}  // namespace profile
