// Float8: eight floats worked on at once, with Mask8 for the eight answers of
// a comparison, for passes over data laid out eight to a block. They are the
// compiler's vector types: one AVX register in code built for AVX2
// (KV_LANES_DISPATCHED, Float4.h), two SSE2 registers on the baseline
// processor. As with Float4, every operation is the IEEE operation of one
// float on each lane (no fused multiply-add, no approximations), so each copy
// of a dispatched function gives the same results to the bit.
#pragma once

#include "platform/math/Float4.h"

#include <cmath>
#include <cstdint>
#include <cstring>

// Passing these by value is done differently with AVX, which compilers warn
// about; they are only passed between inlined helpers.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"
#endif

class Float8;

class Mask8 {
public:
    using Lanes = std::int32_t __attribute__((vector_size(32)));

    explicit Mask8(Lanes bits) : bits_(bits) {}
    // Eight lanes of -1 (true) or 0 (false), as a block keeps its switches.
    static Mask8 Load(const std::int32_t* p)
    {
        Lanes bits;
        std::memcpy(&bits, p, sizeof(bits));
        return Mask8(bits);
    }
    static Mask8 All(bool on) { return Mask8(Lanes{} + (on ? -1 : 0)); }
    // The lanes whose bit is set in bits.
    static Mask8 FromBits(int bits)
    {
        const Lanes each = {1, 2, 4, 8, 16, 32, 64, 128};
        return Mask8(((Lanes{} + bits) & each) != 0);
    }
    void Store(std::int32_t* p) const { std::memcpy(p, &bits_, sizeof(bits_)); }

    Mask8 operator&(const Mask8& o) const { return Mask8(bits_ & o.bits_); }
    Mask8 operator|(const Mask8& o) const { return Mask8(bits_ | o.bits_); }
    Mask8 operator^(const Mask8& o) const { return Mask8(bits_ ^ o.bits_); }
    Mask8 operator~() const { return Mask8(~bits_); }
    // Lane i's answer in bit i.
    int Bits() const
    {
#if defined(__SSE2__)
        using Half = std::int32_t __attribute__((vector_size(16)));
        const Half low = __builtin_shufflevector(bits_, bits_, 0, 1, 2, 3);
        const Half high = __builtin_shufflevector(bits_, bits_, 4, 5, 6, 7);
        return _mm_movemask_ps(_mm_castsi128_ps(reinterpret_cast<__m128i>(low))) |
               _mm_movemask_ps(_mm_castsi128_ps(reinterpret_cast<__m128i>(high))) << 4;
#else
        int bits = 0;
        for (int i = 0; i < 8; ++i) {
            bits |= bits_[i] != 0 ? 1 << i : 0;
        }
        return bits;
#endif
    }
    Lanes Raw() const
    {
        return bits_;
    }

private:
    // Float8's Select reads the lanes in place: a copy of Raw left out of
    // line in code built without AVX would draw the compiler's warning on
    // passing vectors.
    friend Float8 Select(const Mask8& mask, const Float8& ifTrue, const Float8& ifFalse);

    Lanes bits_;
};

class Float8 {
public:
    using Lanes = float __attribute__((vector_size(32)));
    using Half = float __attribute__((vector_size(16)));

    Float8() : v_{} {}
    Float8(float s) : v_(Lanes{} + s) {}
    explicit Float8(Lanes v) : v_(v) {}
    static Float8 Load(const float* p)
    {
        Lanes v;
        std::memcpy(&v, p, sizeof(v));
        return Float8(v);
    }
    void Store(float* p) const { std::memcpy(p, &v_, sizeof(v_)); }
    // Halves are joined and split in registers: through memory, eight
    // lanes written as two halves and read as one stall the read.
    static Float8 FromHalves(const Float4& low, const Float4& high)
    {
#if defined(__SSE2__)
        return Float8(__builtin_shufflevector(reinterpret_cast<Half>(low.Raw()), reinterpret_cast<Half>(high.Raw()), 0,
                                              1, 2, 3, 4, 5, 6, 7));
#else
        float lanes[8];
        low.Store(lanes);
        high.Store(lanes + 4);
        return Load(lanes);
#endif
    }
    Float4 Low() const
    {
#if defined(__SSE2__)
        return Float4(reinterpret_cast<__m128>(__builtin_shufflevector(v_, v_, 0, 1, 2, 3)));
#else
        float lanes[8];
        Store(lanes);
        return Float4::Load(lanes);
#endif
    }
    Float4 High() const
    {
#if defined(__SSE2__)
        return Float4(reinterpret_cast<__m128>(__builtin_shufflevector(v_, v_, 4, 5, 6, 7)));
#else
        float lanes[8];
        Store(lanes);
        return Float4::Load(lanes + 4);
#endif
    }

    Float8 operator+(const Float8& o) const
    {
        return Float8(v_ + o.v_);
    }
    Float8 operator-(const Float8& o) const
    {
        return Float8(v_ - o.v_);
    }
    Float8 operator*(const Float8& o) const
    {
        return Float8(v_ * o.v_);
    }
    Float8 operator/(const Float8& o) const
    {
        return Float8(v_ / o.v_);
    }
    Float8 operator-() const
    {
        return Float8(-v_);
    }

    Mask8 operator<(const Float8& o) const
    {
        return Mask8(v_ < o.v_);
    }
    Mask8 operator<=(const Float8& o) const
    {
        return Mask8(v_ <= o.v_);
    }
    Mask8 operator>(const Float8& o) const
    {
        return Mask8(v_ > o.v_);
    }
    Mask8 operator>=(const Float8& o) const
    {
        return Mask8(v_ >= o.v_);
    }

    friend Float8 Sqrt(const Float8& a)
    {
        // No vector square root is spelled alike for both copies, so each
        // half takes the SSE one.
#if defined(__SSE2__)
        using Half = float __attribute__((vector_size(16)));
        const Half low = __builtin_shufflevector(a.v_, a.v_, 0, 1, 2, 3);
        const Half high = __builtin_shufflevector(a.v_, a.v_, 4, 5, 6, 7);
        const Half rootLow = reinterpret_cast<Half>(_mm_sqrt_ps(reinterpret_cast<__m128>(low)));
        const Half rootHigh = reinterpret_cast<Half>(_mm_sqrt_ps(reinterpret_cast<__m128>(high)));
        return Float8(__builtin_shufflevector(rootLow, rootHigh, 0, 1, 2, 3, 4, 5, 6, 7));
#else
        Lanes v = a.v_;
        for (int i = 0; i < 8; ++i) {
            v[i] = std::sqrt(v[i]);
        }
        return Float8(v);
#endif
    }
    friend Float8 Abs(const Float8& a)
    {
        return Float8(reinterpret_cast<Lanes>(reinterpret_cast<Mask8::Lanes>(a.v_) & 0x7fffffff));
    }
    // The lanes rounded toward zero; only for values within the int range.
    friend Float8 Truncate(const Float8& a)
    {
        return Float8(__builtin_convertvector(__builtin_convertvector(a.v_, Mask8::Lanes), Lanes));
    }
    // The lanes as whole numbers (rounded toward zero; int range only).
    void StoreTruncated(std::int32_t* p) const
    {
        const Mask8::Lanes whole = __builtin_convertvector(v_, Mask8::Lanes);
        std::memcpy(p, &whole, sizeof(whole));
    }
    // mask ? ifTrue : ifFalse, lane by lane. Asked by the sign of each lane
    // (a mask lane is all ones or none), as the AVX blend reads it: one
    // instruction there, where picking the bits costs three.
    friend Float8 Select(const Mask8& mask, const Float8& ifTrue, const Float8& ifFalse)
    {
        return Float8(mask.bits_ < 0 ? ifTrue.v_ : ifFalse.v_);
    }

private:
    Lanes v_;
};

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
