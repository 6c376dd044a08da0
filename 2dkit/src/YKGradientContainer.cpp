#include "YKGradientContainer.h"

#include <cmath>

#include "YKMessage.h"

YKGradientContainer::YKGradientContainer() : mGradient(std::make_unique<YKGradient>()) {}

YKGradientContainer::YKGradientContainer(const YKMessage& archive)
    : mGradient(std::make_unique<YKGradient>(archive)) {
    archive.FindDouble("Sx", &mSx);
    archive.FindDouble("Sy", &mSy);
    archive.FindDouble("Ex", &mEx);
    archive.FindDouble("Ey", &mEy);
    int32 type = mType;
    archive.FindInt32("GradType", &type);
    mType = static_cast<GradientType>(type);
    archive.FindDouble("Offset", &mOffset);
    archive.FindDouble("Freq", &mFreq);
    archive.FindDouble("Amplitude", &mAmplitude);
    archive.FindDouble("Stretch", &mStretch);
}

YKGradientContainer::YKGradientContainer(const YKGradientContainer& other)
    : mName(other.mName),
      mGradient(std::make_unique<YKGradient>(*other.mGradient)),
      mSx(other.mSx),
      mSy(other.mSy),
      mEx(other.mEx),
      mEy(other.mEy),
      mType(other.mType),
      mOffset(other.mOffset),
      mFreq(other.mFreq),
      mAmplitude(other.mAmplitude),
      mStretch(other.mStretch) {}

YKGradientContainer& YKGradientContainer::operator=(const YKGradientContainer& other) {
    if (this != &other) {
        mName = other.mName;
        *mGradient = *other.mGradient;
        mSx = other.mSx;
        mSy = other.mSy;
        mEx = other.mEx;
        mEy = other.mEy;
        mType = other.mType;
        mOffset = other.mOffset;
        mFreq = other.mFreq;
        mAmplitude = other.mAmplitude;
        mStretch = other.mStretch;
        Changed();
    }
    return *this;
}

YKGradientContainer::~YKGradientContainer() = default;

bool YKGradientContainer::operator==(const YKGradientContainer& other) const {
    return mSx == other.mSx && mSy == other.mSy && mEx == other.mEx && mEy == other.mEy &&
           mType == other.mType && mOffset == other.mOffset && mFreq == other.mFreq &&
           mAmplitude == other.mAmplitude && mStretch == other.mStretch &&
           *mGradient == *other.mGradient;
}

void YKGradientContainer::SetSxSy(double x, double y) {
    mSx = x;
    mSy = y;
    Changed();
}

void YKGradientContainer::SetExEy(double x, double y) {
    mEx = x;
    mEy = y;
    Changed();
}

void YKGradientContainer::SetGradientType(GradientType type) {
    mType = type;
    Changed();
}

void YKGradientContainer::SetOffset(double offset) {
    mOffset = offset;
    Changed();
}

void YKGradientContainer::SetFreq(double freq) {
    mFreq = freq;
    Changed();
}

void YKGradientContainer::SetAmplitude(double amplitude) {
    mAmplitude = amplitude;
    Changed();
}

void YKGradientContainer::SetStrech(double stretch) {
    mStretch = stretch;
    Changed();
}

void YKGradientContainer::SetGradient(const YKGradient& gradient) {
    *mGradient = gradient;
    Changed();
}

double YKGradientContainer::Angle() const {
    return std::atan2(mEx - mSx, mEy - mSy) - M_PI / 2.0;
}

void YKGradientContainer::Archive(YKMessage* archive) const {
    archive->AddDouble("Sx", mSx);
    archive->AddDouble("Sy", mSy);
    archive->AddDouble("Ex", mEx);
    archive->AddDouble("Ey", mEy);
    archive->AddInt32("GradType", mType);
    archive->AddDouble("Offset", mOffset);
    archive->AddDouble("Freq", mFreq);
    archive->AddDouble("Amplitude", mAmplitude);
    archive->AddDouble("Stretch", mStretch);
    mGradient->Archive(archive);
}
