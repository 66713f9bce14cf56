#include "ui/DialogGrowth.h"

#include <algorithm>

namespace {

// The extra width comes in four shares: two halves of the video box's (its frame-size
// and frame-rate lists) and two of the audio box's (its bitrate and sample-rate lists).
enum Share : unsigned {
    kNone = 0,
    kVideo1 = 1,
    kVideo2 = 2,
    kAudio1 = 4,
    kAudio2 = 8,
    kVideo = kVideo1 | kVideo2,
    kAudio = kAudio1 | kAudio2,
    kAll = kVideo | kAudio,
};

struct Across {
    int id;
    unsigned move;   // shares the left edge moves by
    unsigned grow;   // shares the width grows by
};

constexpr Across kAcross[] = {
    {kIdcDeviceGroup, kNone, kAll},
    {kIdcProfileGroup, kNone, kAll},
    {kIdcDescription, kNone, kAll},
    {kIdcUnusedEdit, kAll, kNone},
    {kIdcProfilePath, kNone, kAll},
    {kIdcContainerGroup, kNone, kAll},
    // Video
    {kIdcBitrateSlider, kNone, kVideo},
    {kIdcFrameSizes, kNone, kVideo1},
    {kIdcAddFrameSize, kVideo1, kNone},
    {kIdcRemoveFrameSize, kVideo1, kNone},
    {kIdcFrameRates, kVideo1, kVideo2},
    {kIdcFrameRateAdder, kVideo1, kNone},
    {kIdcAddFrameRate, kVideo, kNone},
    {kIdcRemoveFrameRate, kVideo, kNone},
    // Audio
    {kIdcCopySource, kVideo, kNone},
    {kIdcAudioCodecLabel, kVideo, kNone},
    {kIdcAudioCodec, kVideo, kNone},
    {kIdcAudioBitrates, kVideo, kAudio1},
    {kIdcAudioBitrateAdder, kVideo, kNone},
    {kIdcAddAudioBitrate, kVideo | kAudio1, kNone},
    {kIdcRemoveAudioBitrate, kVideo | kAudio1, kNone},
    {kIdcSampleRates, kVideo | kAudio1, kAudio2},
    {kIdcSampleRateAdder, kVideo | kAudio1, kNone},
    {kIdcAddSampleRate, kAll, kNone},
    {kIdcRemoveSampleRate, kAll, kNone},
    // The window's buttons keep to its lower right corner.
    {kIdcSave, kAll, kNone},
    {kIdcSaveAs, kAll, kNone},
    {kIdcClose, kAll, kNone},
};

// Dialog units of the layout that decide what moves down.
constexpr int kBelowDescription = 136;   // the path row and everything under it
constexpr int kBelowLists = 399;         // the adders and buttons under the lists
constexpr int kLowerBoxesTop = 215;      // the video and audio boxes
constexpr int kAudioColumn = 308;        // left edge between the video and audio boxes

int Sum(unsigned shares, const int (&amount)[4])
{
    int sum = 0;
    for (int i = 0; i < 4; ++i) {
        if ((shares & (1u << i)) != 0)
            sum += amount[i];
    }
    return sum;
}

} // namespace

QRect GrownRect(const ControlLayout& layout, const QRect& atLayoutSize, QSize extra)
{
    const int dx = std::max(0, extra.width());
    const int dy = std::max(0, extra.height());
    const int video = dx / 2;
    const int audio = dx - video;
    const int shares[4] = {video / 2, video - video / 2, audio / 2, audio - audio / 2};
    const int description = dy / 4;
    const int lists = dy - description;

    unsigned move = kNone;
    unsigned grow = kNone;
    const bool lowerBox = layout.kind == ControlKind::GroupBox && layout.top >= kLowerBoxesTop;
    if (lowerBox) {
        // The video and audio frames are addressed by nobody; their place tells them apart.
        if (layout.left < kAudioColumn) {
            grow = kVideo;
        } else {
            move = kVideo;
            grow = kAudio;
        }
    } else {
        const auto found = std::find_if(std::begin(kAcross), std::end(kAcross),
                                        [&layout](const Across& across) { return across.id == layout.id; });
        if (layout.id != kIdcStatic && found != std::end(kAcross)) {
            move = found->move;
            grow = found->grow;
        }
    }

    QRect rect = atLayoutSize;
    rect.translate(Sum(move, shares), 0);
    rect.setWidth(rect.width() + Sum(grow, shares));

    if (layout.id == kIdcDescription || layout.id == kIdcProfileGroup)
        rect.setHeight(rect.height() + description);
    else if (layout.top >= kBelowDescription)
        rect.translate(0, description);
    if (layout.kind == ControlKind::ValueList || lowerBox)
        rect.setHeight(rect.height() + lists);
    else if (layout.top >= kBelowLists)
        rect.translate(0, lists);
    return rect;
}
