#include "resample/kernels.h"

#include <cmath>

namespace tvn::resample {

namespace {
const double kPi = 3.141592653589793;
const double kTwoPi = 6.283185307179586;
} // namespace

double BoxKernel::evaluate(double x) const {
    return std::fabs(x) <= m_dWidth ? 1.0 : 0.0;
}

double BilinearKernel::evaluate(double x) const {
    double a = std::fabs(x);
    return a < m_dWidth ? m_dWidth - a : 0.0;
}

double BicubicKernel::evaluate(double x) const {
    double a = std::fabs(x);
    // Outside, t is taken as 1, so the value is exactly 1 - 1.
    double t = a < m_dWidth ? a / m_dWidth : 1.0;
    return 1.0 - t * t * t;
}

double GaussianKernel::evaluate(double x) const {
    if (std::fabs(x) > m_dWidth) return 0.0;
    return std::exp(-x * x / 2.0) / std::sqrt(kTwoPi);
}

double HammingKernel::evaluate(double x) const {
    if (std::fabs(x) > m_dWidth) return 0.0;
    return 0.54 + 0.46 * std::cos(kPi * x / m_dWidth);
}

double BlackmanKernel::evaluate(double x) const {
    if (std::fabs(x) > m_dWidth) return 0.0;
    return 0.42 + 0.5 * std::cos(kPi * x / m_dWidth) + 0.08 * std::cos(kTwoPi * x / m_dWidth);
}

} // namespace tvn::resample
