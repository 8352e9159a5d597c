// Float4: four floats worked on at once, with Mask4 for the four answers of
// a comparison. On x86-64 they are SSE2 registers; elsewhere plain arrays.
// Every operation is the IEEE operation of one float on each lane (no fused
// multiply-add, no approximations), so a lane gives to the bit what the
// scalar code it mirrors gives; a branch becomes a Select of both sides.
#pragma once

#include <cmath>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Marks a hot function of lane arithmetic to be built twice, for the
// baseline processor and for one with AVX2, the copy the processor can run
// picked once as the program loads. AVX's three-operand instructions spare
// most of the register copies SSE2 needs; every helper the function calls
// is built into each copy (flatten). FMA is not asked for, so both copies
// round every operation alike and give the same results to the bit.
// Unoptimised builds (the sanitizer build) inline nothing, and an AVX2 copy
// calling the baseline helpers would hand eight-lane vectors over in other
// registers than they expect: they build the baseline copy alone.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__OPTIMIZE__)
#define KV_LANES_DISPATCHED __attribute__((target_clones("avx2", "default"), flatten))
#else
#define KV_LANES_DISPATCHED
#endif

#if defined(__SSE2__)

class Mask4 {
public:
    explicit Mask4(__m128 bits) : bits_(bits) {}
    static Mask4 FromBools(bool a, bool b, bool c, bool d)
    {
        const auto bit = [](bool on) { return on ? -1 : 0; };
        return Mask4(_mm_castsi128_ps(_mm_set_epi32(bit(d), bit(c), bit(b), bit(a))));
    }

    Mask4 operator&(const Mask4& o) const { return Mask4(_mm_and_ps(bits_, o.bits_)); }
    Mask4 operator|(const Mask4& o) const { return Mask4(_mm_or_ps(bits_, o.bits_)); }
    Mask4 operator^(const Mask4& o) const { return Mask4(_mm_xor_ps(bits_, o.bits_)); }
    Mask4 operator~() const { return Mask4(_mm_xor_ps(bits_, _mm_castsi128_ps(_mm_set1_epi32(-1)))); }
    // Lane i's answer in bit i.
    int Bits() const { return _mm_movemask_ps(bits_); }
    __m128 Raw() const { return bits_; }

private:
    __m128 bits_;
};

class Float4 {
public:
    Float4() : v_(_mm_setzero_ps()) {}
    Float4(float s) : v_(_mm_set1_ps(s)) {}
    explicit Float4(__m128 v) : v_(v) {}
    static Float4 Lanes(float a, float b, float c, float d) { return Float4(_mm_set_ps(d, c, b, a)); }
    static Float4 Load(const float* p) { return Float4(_mm_loadu_ps(p)); }
    void Store(float* p) const { _mm_storeu_ps(p, v_); }
    __m128 Raw() const { return v_; }

    Float4 operator+(const Float4& o) const { return Float4(_mm_add_ps(v_, o.v_)); }
    Float4 operator-(const Float4& o) const { return Float4(_mm_sub_ps(v_, o.v_)); }
    Float4 operator*(const Float4& o) const { return Float4(_mm_mul_ps(v_, o.v_)); }
    Float4 operator/(const Float4& o) const { return Float4(_mm_div_ps(v_, o.v_)); }
    Float4 operator-() const { return Float4(_mm_xor_ps(v_, _mm_set1_ps(-0.0f))); }

    Mask4 operator<(const Float4& o) const { return Mask4(_mm_cmplt_ps(v_, o.v_)); }
    Mask4 operator<=(const Float4& o) const { return Mask4(_mm_cmple_ps(v_, o.v_)); }
    Mask4 operator>(const Float4& o) const { return Mask4(_mm_cmpgt_ps(v_, o.v_)); }
    Mask4 operator>=(const Float4& o) const { return Mask4(_mm_cmpge_ps(v_, o.v_)); }

    friend Float4 Sqrt(const Float4& a) { return Float4(_mm_sqrt_ps(a.v_)); }
    friend Float4 Abs(const Float4& a) { return Float4(_mm_andnot_ps(_mm_set1_ps(-0.0f), a.v_)); }
    // The lanes rounded toward zero; only for values within the int range.
    friend Float4 Truncate(const Float4& a) { return Float4(_mm_cvtepi32_ps(_mm_cvttps_epi32(a.v_))); }
    // mask ? ifTrue : ifFalse, lane by lane.
    friend Float4 Select(const Mask4& mask, const Float4& ifTrue, const Float4& ifFalse)
    {
        return Float4(_mm_or_ps(_mm_and_ps(mask.Raw(), ifTrue.v_), _mm_andnot_ps(mask.Raw(), ifFalse.v_)));
    }
    // Rows a, b, c, d become columns: afterwards a holds the first lanes.
    friend void Transpose(Float4& a, Float4& b, Float4& c, Float4& d) { _MM_TRANSPOSE4_PS(a.v_, b.v_, c.v_, d.v_); }

    // The lanes as whole numbers (rounded toward zero; int range only).
    void StoreTruncated(std::int32_t* p) const
    {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_cvttps_epi32(v_));
    }

private:
    __m128 v_;
};

#else

class Mask4 {
public:
    Mask4() = default;
    static Mask4 FromBools(bool a, bool b, bool c, bool d)
    {
        Mask4 m;
        m.on_[0] = a;
        m.on_[1] = b;
        m.on_[2] = c;
        m.on_[3] = d;
        return m;
    }

    Mask4 operator&(const Mask4& o) const
    {
        return Each(o, [](bool a, bool b) { return a && b; });
    }
    Mask4 operator|(const Mask4& o) const
    {
        return Each(o, [](bool a, bool b) { return a || b; });
    }
    Mask4 operator^(const Mask4& o) const
    {
        return Each(o, [](bool a, bool b) { return a != b; });
    }
    Mask4 operator~() const
    {
        return Each(*this, [](bool a, bool) { return !a; });
    }
    int Bits() const { return (on_[0] ? 1 : 0) | (on_[1] ? 2 : 0) | (on_[2] ? 4 : 0) | (on_[3] ? 8 : 0); }
    bool Lane(int i) const { return on_[i]; }

private:
    template <typename Op> Mask4 Each(const Mask4& o, Op op) const
    {
        Mask4 m;
        for (int i = 0; i < 4; ++i) {
            m.on_[i] = op(on_[i], o.on_[i]);
        }
        return m;
    }
    bool on_[4] = {};
};

class Float4 {
public:
    Float4() = default;
    Float4(float s) : v_{s, s, s, s} {}
    static Float4 Lanes(float a, float b, float c, float d)
    {
        Float4 f;
        f.v_[0] = a;
        f.v_[1] = b;
        f.v_[2] = c;
        f.v_[3] = d;
        return f;
    }
    static Float4 Load(const float* p) { return Lanes(p[0], p[1], p[2], p[3]); }
    void Store(float* p) const
    {
        for (int i = 0; i < 4; ++i) {
            p[i] = v_[i];
        }
    }

    Float4 operator+(const Float4& o) const
    {
        return Each(o, [](float a, float b) { return a + b; });
    }
    Float4 operator-(const Float4& o) const
    {
        return Each(o, [](float a, float b) { return a - b; });
    }
    Float4 operator*(const Float4& o) const
    {
        return Each(o, [](float a, float b) { return a * b; });
    }
    Float4 operator/(const Float4& o) const
    {
        return Each(o, [](float a, float b) { return a / b; });
    }
    Float4 operator-() const
    {
        return Each(*this, [](float a, float) { return -a; });
    }

    Mask4 operator<(const Float4& o) const
    {
        return Compare(o, [](float a, float b) { return a < b; });
    }
    Mask4 operator<=(const Float4& o) const
    {
        return Compare(o, [](float a, float b) { return a <= b; });
    }
    Mask4 operator>(const Float4& o) const
    {
        return Compare(o, [](float a, float b) { return a > b; });
    }
    Mask4 operator>=(const Float4& o) const
    {
        return Compare(o, [](float a, float b) { return a >= b; });
    }

    friend Float4 Sqrt(const Float4& a)
    {
        return a.Each(a, [](float x, float) { return std::sqrt(x); });
    }
    friend Float4 Abs(const Float4& a)
    {
        return a.Each(a, [](float x, float) { return std::fabs(x); });
    }
    friend Float4 Truncate(const Float4& a)
    {
        return a.Each(a, [](float x, float) { return static_cast<float>(static_cast<std::int32_t>(x)); });
    }
    friend Float4 Select(const Mask4& mask, const Float4& ifTrue, const Float4& ifFalse)
    {
        Float4 f;
        for (int i = 0; i < 4; ++i) {
            f.v_[i] = mask.Lane(i) ? ifTrue.v_[i] : ifFalse.v_[i];
        }
        return f;
    }
    friend void Transpose(Float4& a, Float4& b, Float4& c, Float4& d)
    {
        Float4* rows[4] = {&a, &b, &c, &d};
        float m[4][4];
        for (int r = 0; r < 4; ++r) {
            rows[r]->Store(m[r]);
        }
        for (int r = 0; r < 4; ++r) {
            *rows[r] = Lanes(m[0][r], m[1][r], m[2][r], m[3][r]);
        }
    }
    void StoreTruncated(std::int32_t* p) const
    {
        for (int i = 0; i < 4; ++i) {
            p[i] = static_cast<std::int32_t>(v_[i]);
        }
    }

private:
    template <typename Op> Float4 Each(const Float4& o, Op op) const
    {
        Float4 f;
        for (int i = 0; i < 4; ++i) {
            f.v_[i] = op(v_[i], o.v_[i]);
        }
        return f;
    }
    template <typename Op> Mask4 Compare(const Float4& o, Op op) const
    {
        return Mask4::FromBools(op(v_[0], o.v_[0]), op(v_[1], o.v_[1]), op(v_[2], o.v_[2]), op(v_[3], o.v_[3]));
    }
    float v_[4] = {};
};

#endif
