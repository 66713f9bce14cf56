#pragma once

// Audio ("acodec") and video ("vcodec") codec sections. Each codec class builds its
// own default tree from constant schema rows; the codec name written in a file
// ("lame", "xvid", ...) chooses the class.

#include <memory>
#include <span>
#include <string>

#include "profile/ProfileBase.h"

namespace profile {

class CProfileCodec : public CProfileBase {
public:
    CProfileCodec() = default;                        // no tree until Init
    CProfileCodec(const CProfileCodec& other) = default;
    std::unique_ptr<CProfileBase> Clone() const override;

protected:
    // Constructor tag of the family base classes: their derived classes build a
    // tree of their own, so building the base's first would be wasted work.
    struct NoTree {};
};

// acodec "lame"
class CProfileCodecLame : public CProfileCodec {
public:
    CProfileCodecLame();                                  // default tree under "acodec"
    CProfileCodecLame(const CProfileCodecLame& other) = default;
    void Init(const std::string& name) override;
    std::unique_ptr<CProfileBase> Clone() const override;
    static std::span<const CProfileSchema> Schema();
};

// acodec "faac"
class CProfileCodecFaac : public CProfileCodec {
public:
    CProfileCodecFaac();                                  // default tree under "acodec"
    CProfileCodecFaac(const CProfileCodecFaac& other) = default;
    void Init(const std::string& name) override;
    std::unique_ptr<CProfileBase> Clone() const override;
    static std::span<const CProfileSchema> Schema();
};

// acodec "mp2"
class CProfileCodecMP2 : public CProfileCodec {
public:
    CProfileCodecMP2();                                  // default tree under "acodec"
    CProfileCodecMP2(const CProfileCodecMP2& other) = default;
    void Init(const std::string& name) override;
    std::unique_ptr<CProfileBase> Clone() const override;
    static std::span<const CProfileSchema> Schema();
};

// acodec "gsm"
class CProfileCodecGSM : public CProfileCodec {
public:
    CProfileCodecGSM();                                  // default tree under "acodec"
    CProfileCodecGSM(const CProfileCodecGSM& other) = default;
    void Init(const std::string& name) override;
    std::unique_ptr<CProfileBase> Clone() const override;
    static std::span<const CProfileSchema> Schema();
};

// acodec "adpcm_ms"
class CProfileCodecADPCMMS : public CProfileCodec {
public:
    CProfileCodecADPCMMS();                                  // default tree under "acodec"
    CProfileCodecADPCMMS(const CProfileCodecADPCMMS& other) = default;
    void Init(const std::string& name) override;
    std::unique_ptr<CProfileBase> Clone() const override;
    static std::span<const CProfileSchema> Schema();
};

// acodec "adpcm"
class CProfileCodecADPCM : public CProfileCodec {
public:
    CProfileCodecADPCM();                                  // default tree under "acodec"
    CProfileCodecADPCM(const CProfileCodecADPCM& other) = default;
    void Init(const std::string& name) override;
    std::unique_ptr<CProfileBase> Clone() const override;
    static std::span<const CProfileSchema> Schema();
};

// acodec "wma9"
class CProfileCodecWMA9 : public CProfileCodec {
public:
    CProfileCodecWMA9();                                  // default tree under "acodec"
    CProfileCodecWMA9(const CProfileCodecWMA9& other) = default;
    void Init(const std::string& name) override;
    std::unique_ptr<CProfileBase> Clone() const override;
    static std::span<const CProfileSchema> Schema();
};

// acodec "wma9lossless"
class CProfileCodecWMA9Lossless : public CProfileCodec {
public:
    CProfileCodecWMA9Lossless();                                  // default tree under "acodec"
    CProfileCodecWMA9Lossless(const CProfileCodecWMA9Lossless& other) = default;
    void Init(const std::string& name) override;
    std::unique_ptr<CProfileBase> Clone() const override;
    static std::span<const CProfileSchema> Schema();
};

// acodec "wma10"
class CProfileCodecWMA10 : public CProfileCodec {
public:
    CProfileCodecWMA10();                                  // default tree under "acodec"
    CProfileCodecWMA10(const CProfileCodecWMA10& other) = default;
    void Init(const std::string& name) override;
    std::unique_ptr<CProfileBase> Clone() const override;
    static std::span<const CProfileSchema> Schema();
};

// acodec "pcm"
class CProfileCodecPCM : public CProfileCodec {
public:
    CProfileCodecPCM();                                  // default tree under "acodec"
    CProfileCodecPCM(const CProfileCodecPCM& other) = default;
    void Init(const std::string& name) override;
    std::unique_ptr<CProfileBase> Clone() const override;
    static std::span<const CProfileSchema> Schema();
};

// vcodec "xvid"
class CProfileCodecXvid : public CProfileCodec {
public:
    CProfileCodecXvid();                                  // default tree under "vcodec"
    CProfileCodecXvid(const CProfileCodecXvid& other) = default;
    void Init(const std::string& name) override;
    std::unique_ptr<CProfileBase> Clone() const override;
    static std::span<const CProfileSchema> Schema();
};

// vcodec family base: generic MPEG settings, never chosen by a codec name
class CProfileCodecMPEG : public CProfileCodec {
public:
    CProfileCodecMPEG();                                  // default tree under "vcodec"
    CProfileCodecMPEG(const CProfileCodecMPEG& other) = default;
    void Init(const std::string& name) override;
    std::unique_ptr<CProfileBase> Clone() const override;
    static std::span<const CProfileSchema> Schema();

protected:
    // For derived classes, which build their own tree instead of this one.
    explicit CProfileCodecMPEG(NoTree) {}
};

// vcodec "mpeg4"
class CProfileCodecMPEG4 : public CProfileCodecMPEG {
public:
    CProfileCodecMPEG4();                                  // default tree under "vcodec"
    CProfileCodecMPEG4(const CProfileCodecMPEG4& other) = default;
    void Init(const std::string& name) override;
    std::unique_ptr<CProfileBase> Clone() const override;
    static std::span<const CProfileSchema> Schema();
};

// vcodec "h264"
class CProfileCodecH264 : public CProfileCodecMPEG {
public:
    CProfileCodecH264();                                  // default tree under "vcodec"
    CProfileCodecH264(const CProfileCodecH264& other) = default;
    void Init(const std::string& name) override;
    std::unique_ptr<CProfileBase> Clone() const override;
    static std::span<const CProfileSchema> Schema();
};

// vcodec "mpeg1"
class CProfileCodecMPEG1 : public CProfileCodecMPEG {
public:
    CProfileCodecMPEG1();                                  // default tree under "vcodec"
    CProfileCodecMPEG1(const CProfileCodecMPEG1& other) = default;
    void Init(const std::string& name) override;
    std::unique_ptr<CProfileBase> Clone() const override;
    static std::span<const CProfileSchema> Schema();
};

// vcodec "msmpeg4v2"
class CProfileCodecMSMPEG4V2 : public CProfileCodecMPEG {
public:
    CProfileCodecMSMPEG4V2();                                  // default tree under "vcodec"
    CProfileCodecMSMPEG4V2(const CProfileCodecMSMPEG4V2& other) = default;
    void Init(const std::string& name) override;
    std::unique_ptr<CProfileBase> Clone() const override;
    static std::span<const CProfileSchema> Schema();
};

// vcodec "wmv9"
class CProfileCodecWMV9 : public CProfileCodec {
public:
    CProfileCodecWMV9();                                  // default tree under "vcodec"
    CProfileCodecWMV9(const CProfileCodecWMV9& other) = default;
    void Init(const std::string& name) override;
    std::unique_ptr<CProfileBase> Clone() const override;
    static std::span<const CProfileSchema> Schema();

protected:
    // For derived classes, which build their own tree instead of this one.
    explicit CProfileCodecWMV9(NoTree) {}
};

// vcodec "vc1"
class CProfileCodecVC1 : public CProfileCodecWMV9 {
public:
    CProfileCodecVC1();                                  // default tree under "vcodec"
    CProfileCodecVC1(const CProfileCodecVC1& other) = default;
    void Init(const std::string& name) override;
    std::unique_ptr<CProfileBase> Clone() const override;
    static std::span<const CProfileSchema> Schema();
};
// A new section of the class that `codec` names for `kind` ("acodec" or "vcodec"),
// with its default tree, or with a deep copy of `source`'s tree when a source is
// given (the class then follows the name, the content the source). Null for any
// other kind or codec name; names compare exactly and case-sensitively.
std::unique_ptr<CProfileBase> CreateCodec(const std::string& kind, const std::string& codec,
                                          const CProfileBase* source = nullptr);

// A copy of a section for a profile copy: a "common" section (any letter case) is
// copied as CProfileCommon; an "acodec" or "vcodec" section becomes a section of the
// class its current name attribute names, holding a copy of its tree. Null when the
// name names no codec class, or for any other section.
std::unique_ptr<CProfileBase> CloneSection(const CProfileBase& section);

}  // namespace profile
