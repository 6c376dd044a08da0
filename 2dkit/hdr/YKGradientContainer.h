#pragma once

// YKGradientContainer: a gradient's geometry, which maps a pixel to the ramp's parameter: a type,
// a start point S and an end point E, and the shaping values offset, frequency, amplitude and
// stretch. It owns the YKGradient it paints with. Objects keep one per gradient fill or stroke;
// YKGradientBuffer is the form that paints.

#include <memory>
#include <string>

#include "YKGradient.h"
#include "yk_types.h"

class YKMessage;

// How a pixel is mapped to the parameter; the comments are the labels the editor shows.
enum GradientType : int32 {
    GRADIENT_LINEAR = 0,              // "Linear"
    GRADIENT_BILINEAR = 1,            // "Bi-Linear"
    GRADIENT_RADIAL = 2,              // "Radial"
    GRADIENT_SQUARE = 3,              // "Square"
    GRADIENT_CONICAL_SYMMETRIC = 4,   // "Conical Symmetric"
    GRADIENT_CONICAL_ASYMMETRIC = 5,  // "Conical Asymmetric"
    GRADIENT_HYPERBOLIC = 6,          // "Hyperbolic"
    GRADIENT_WAVE1 = 7,               // "Wave1"
    GRADIENT_WAVE2 = 8,               // "Wave2": the Wave1 ripple times a ripple along u
};

class YKGradientContainer {
public:
    // "Untitled", a default gradient, linear from (0, 0) to (1, 0), offset 0, frequency 10,
    // amplitude 0.0666, stretch 4.
    YKGradientContainer();
    // From Archive()'s keys; missing keys keep the defaults. The gradient is always built from
    // the same message (without item keys it has no items).
    explicit YKGradientContainer(const YKMessage& archive);
    YKGradientContainer(const YKGradientContainer& other);
    // Copies everything, the gradient included.
    YKGradientContainer& operator=(const YKGradientContainer& other);
    virtual ~YKGradientContainer();

    // Same geometry, type, shaping values and gradient items; the names do not count.
    bool operator==(const YKGradientContainer& other) const;
    bool operator!=(const YKGradientContainer& other) const { return !(*this == other); }

    double GetSx() const { return mSx; }
    double GetSy() const { return mSy; }
    double GetEx() const { return mEx; }
    double GetEy() const { return mEy; }
    void SetSxSy(double x, double y);
    void SetExEy(double x, double y);
    GradientType GetGradientType() const { return mType; }
    void SetGradientType(GradientType type);
    // Percent: the share of the ramp's length kept at the first colour (for the cones, the
    // steepness of the angular ramp instead).
    double GetOffset() const { return mOffset; }
    void SetOffset(double offset);
    double GetFreq() const { return mFreq; }
    void SetFreq(double freq);
    double GetAmplitude() const { return mAmplitude; }
    void SetAmplitude(double amplitude);
    double GetStrech() const { return mStretch; }
    void SetStrech(double stretch);
    // Never null; owned by the container.
    YKGradient* GetGradient() const { return mGradient.get(); }
    // Takes a copy of `gradient`.
    void SetGradient(const YKGradient& gradient);
    const char* Name() const { return mName.c_str(); }
    void SetName(const char* name) { mName = name != nullptr ? name : ""; }

    // The direction of S to E as the editor shows it: atan2(Ex - Sx, Ey - Sy) - pi/2.
    double Angle() const;

    // Adds "Sx", "Sy", "Ex", "Ey", "GradType", "Offset", "Freq", "Amplitude", "Stretch", then the
    // gradient's keys.
    void Archive(YKMessage* archive) const;

protected:
    // Called after anything that shapes the mapping changed (not the name).
    virtual void Changed() {}

private:
    std::string mName = "Untitled";
    std::unique_ptr<YKGradient> mGradient;
    double mSx = 0.0;
    double mSy = 0.0;
    double mEx = 1.0;
    double mEy = 0.0;
    GradientType mType = GRADIENT_LINEAR;
    double mOffset = 0.0;
    double mFreq = 10.0;
    double mAmplitude = 0.0666;
    double mStretch = 4.0;
};
