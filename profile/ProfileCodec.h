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
    explicit CProfileCodec(NoTree) {}
};

// The rows a codec class builds its default tree from, and the section kind
// ("acodec" or "vcodec") the tree is built under when the class is constructed.
struct CCodecSchema {
    const char* kind;
    std::span<const CProfileSchema> rows;
};

// A codec class: Base places it in the class tree, Table gives its tree. A class
// whose base is another codec class lists every row it needs itself; it does not
// inherit its base's rows.
template <class Base, const CCodecSchema& Table>
class CProfileCodecOf : public Base {
public:
    CProfileCodecOf() : Base(typename Base::NoTree{}) { CProfileCodecOf::Init(Table.kind); }
    CProfileCodecOf(const CProfileCodecOf& other) = default;
    void Init(const std::string& name) override
    {
        if (name != Table.kind) {
            this->BuildTree(name, Table.rows);
            return;
        }
        static const CProfileNode made = CProfileBase::TreeOf(Table.kind, Table.rows);
        this->CopyTree(made);
    }
    std::unique_ptr<CProfileBase> Clone() const override { return std::make_unique<CProfileCodecOf>(*this); }
    static std::span<const CProfileSchema> Schema() { return Table.rows; }

protected:
    using typename Base::NoTree;
    explicit CProfileCodecOf(NoTree) : Base(NoTree{}) {}
};

extern const CCodecSchema kLameCodec, kFaacCodec, kMP2Codec, kGSMCodec, kADPCMMSCodec, kADPCMCodec, kWMA9Codec,
    kWMA9LosslessCodec, kWMA10Codec, kPCMCodec, kXvidCodec, kMPEGCodec, kMPEG4Codec, kH264Codec, kMPEG1Codec,
    kMSMPEG4V2Codec, kWMV9Codec, kVC1Codec;

using CProfileCodecLame = CProfileCodecOf<CProfileCodec, kLameCodec>;                   // acodec "lame"
using CProfileCodecFaac = CProfileCodecOf<CProfileCodec, kFaacCodec>;                   // acodec "faac"
using CProfileCodecMP2 = CProfileCodecOf<CProfileCodec, kMP2Codec>;                     // acodec "mp2"
using CProfileCodecGSM = CProfileCodecOf<CProfileCodec, kGSMCodec>;                     // acodec "gsm"
using CProfileCodecADPCMMS = CProfileCodecOf<CProfileCodec, kADPCMMSCodec>;             // acodec "adpcm_ms"
using CProfileCodecADPCM = CProfileCodecOf<CProfileCodec, kADPCMCodec>;                 // acodec "adpcm"
using CProfileCodecWMA9 = CProfileCodecOf<CProfileCodec, kWMA9Codec>;                   // acodec "wma9"
using CProfileCodecWMA9Lossless = CProfileCodecOf<CProfileCodec, kWMA9LosslessCodec>;   // acodec "wma9lossless"
using CProfileCodecWMA10 = CProfileCodecOf<CProfileCodec, kWMA10Codec>;                 // acodec "wma10"
using CProfileCodecPCM = CProfileCodecOf<CProfileCodec, kPCMCodec>;                     // acodec "pcm"
using CProfileCodecXvid = CProfileCodecOf<CProfileCodec, kXvidCodec>;                   // vcodec "xvid"
// The MPEG family's base, never chosen by a codec name.
using CProfileCodecMPEG = CProfileCodecOf<CProfileCodec, kMPEGCodec>;                   // vcodec
using CProfileCodecMPEG4 = CProfileCodecOf<CProfileCodecMPEG, kMPEG4Codec>;             // vcodec "mpeg4"
using CProfileCodecH264 = CProfileCodecOf<CProfileCodecMPEG, kH264Codec>;               // vcodec "h264"
using CProfileCodecMPEG1 = CProfileCodecOf<CProfileCodecMPEG, kMPEG1Codec>;             // vcodec "mpeg1"
using CProfileCodecMSMPEG4V2 = CProfileCodecOf<CProfileCodecMPEG, kMSMPEG4V2Codec>;     // vcodec "msmpeg4v2"
using CProfileCodecWMV9 = CProfileCodecOf<CProfileCodec, kWMV9Codec>;                   // vcodec "wmv9"
using CProfileCodecVC1 = CProfileCodecOf<CProfileCodecWMV9, kVC1Codec>;                 // vcodec "vc1"

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
