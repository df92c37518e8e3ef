// The six resampling kernels. Each is a function of the signed distance between a
// destination sample's centre and a source sample, cut off at a half-width.
#ifndef TIVORN_RESAMPLE_KERNELS_H
#define TIVORN_RESAMPLE_KERNELS_H

namespace tvn::resample {

class FilterKernel {
public:
    explicit FilterKernel(double width) : m_dWidth(width) {}
    virtual ~FilterKernel() {}
    virtual double evaluate(double x) const = 0;

    // Half-width of the support in source samples at scale 1.
    double m_dWidth;
};

// The half-width is a constructor argument whose default is the kernel's own
// width; the scaler always uses the default.
class BoxKernel : public FilterKernel {
public:
    explicit BoxKernel(double width = 0.5) : FilterKernel(width) {}
    double evaluate(double x) const override;
};

// Not divided by the width: the peak is the width itself; weights are normalised.
class BilinearKernel : public FilterKernel {
public:
    explicit BilinearKernel(double width = 1.0) : FilterKernel(width) {}
    double evaluate(double x) const override;
};

// 1 - (|x|/w)^3, never negative.
class BicubicKernel : public FilterKernel {
public:
    explicit BicubicKernel(double width = 0.5) : FilterKernel(width) {}
    double evaluate(double x) const override;
};

// Standard normal density of x itself (sigma 1), cut off at the width.
class GaussianKernel : public FilterKernel {
public:
    explicit GaussianKernel(double width = 3.0) : FilterKernel(width) {}
    double evaluate(double x) const override;
};

class HammingKernel : public FilterKernel {
public:
    explicit HammingKernel(double width = 0.5) : FilterKernel(width) {}
    double evaluate(double x) const override;
};

class BlackmanKernel : public FilterKernel {
public:
    explicit BlackmanKernel(double width = 0.5) : FilterKernel(width) {}
    double evaluate(double x) const override;
};

} // namespace tvn::resample

#endif
