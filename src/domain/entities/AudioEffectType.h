#pragma once

#include "domain/entities/AudioEffectKind.h"
#include "domain/entities/EQBand.h"
#include "foundation/Json.h"
#include "foundation/Uuid.h"

#include <utility>
#include <variant>
#include <vector>

namespace vexel {

// One audio effect and its parameters. No value is bounded here: the ranges are
// rules of the add-effect edit.
class AudioEffectType {
public:
    struct Pan {
        double balance = 0;
        friend bool operator==(const Pan&, const Pan&) = default;
    };
    struct PitchShift {
        double semitones = 0;
        friend bool operator==(const PitchShift&, const PitchShift&) = default;
    };
    struct Reverb {
        double wetDryMix = 0;
        friend bool operator==(const Reverb&, const Reverb&) = default;
    };
    struct Eq {
        std::vector<EQBand> bands;
        friend bool operator==(const Eq&, const Eq&) = default;
    };
    struct Normalize {
        double targetDB = 0;
        friend bool operator==(const Normalize&, const Normalize&) = default;
    };
    struct Compressor {
        double threshold = 0;
        double ratio = 1;
        friend bool operator==(const Compressor&, const Compressor&) = default;
    };
    struct Ducking {
        Uuid referenceTrackId;
        double reduction = 0;
        friend bool operator==(const Ducking&, const Ducking&) = default;
    };

    // Alternatives in the order of AudioEffectKind.
    using Payload = std::variant<Pan, PitchShift, Reverb, Eq, Normalize, Compressor, Ducking>;

    // A centred pan. Not defaulted: GCC would delete a defaulted one, as the nested cases'
    // member initialisers are not usable before this class is complete.
    AudioEffectType()
        : payload_(Pan{}) {}
    explicit AudioEffectType(Payload payload)
        : payload_(std::move(payload)) {}

    static AudioEffectType pan(double balance) { return AudioEffectType(Pan{balance}); }
    static AudioEffectType pitchShift(double semitones) {
        return AudioEffectType(PitchShift{semitones});
    }
    static AudioEffectType reverb(double wetDryMix) { return AudioEffectType(Reverb{wetDryMix}); }
    static AudioEffectType eq(std::vector<EQBand> bands) {
        return AudioEffectType(Eq{std::move(bands)});
    }
    static AudioEffectType normalize(double targetDB) {
        return AudioEffectType(Normalize{targetDB});
    }
    static AudioEffectType compressor(double threshold, double ratio) {
        return AudioEffectType(Compressor{threshold, ratio});
    }
    static AudioEffectType ducking(Uuid referenceTrackId, double reduction) {
        return AudioEffectType(Ducking{referenceTrackId, reduction});
    }

    // The kind of the same name as the case.
    AudioEffectKind kind() const;

    const Payload& payload() const { return payload_; }
    // The parameters when the effect is of case `Case`, else nullptr.
    template <class Case> const Case* getIf() const { return std::get_if<Case>(&payload_); }

    friend bool operator==(const AudioEffectType&, const AudioEffectType&) = default;

private:
    Payload payload_;
};

// One flat object: "type" (the case name) and the case's members.
void to_json(Json& json, const AudioEffectType& type);
// An unknown "type" fails with "Unknown AudioEffectType: <name>".
void from_json(const Json& json, AudioEffectType& type);

} // namespace vexel
