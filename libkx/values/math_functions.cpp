#include "values/math_functions.h"

#include <cmath>

#include "base/error.h"

namespace {

constexpr double pi = 3.141592653589793;
constexpr double degrees_to_radians = 0.017453292519943295;
constexpr double radians_to_degrees = 57.29577951308232;
constexpr double degrees_to_gradians = 1.111111111111111;
constexpr double gradians_to_degrees = 0.9;
constexpr double radians_to_gradians = 63.66197723675816;
constexpr double gradians_to_radians = 0.01570796326794896;
constexpr double exp_single_limit = 88.02969;
constexpr kx_float exp_float_limit = 709.782712893L;

double refuse(int32_t n) {
  error(n);
  return 0;
}

// 1 / d, or error 5 when d is exactly 0.
double reciprocal(double d) { return d == 0 ? refuse(err::illegal_function_call) : 1 / d; }

}  // namespace

double func_log(double x) { return x <= 0 ? refuse(err::illegal_function_call) : std::log(x); }
double func_sqr(double x) { return x < 0 ? refuse(err::illegal_function_call) : std::sqrt(x); }
double func_exp_single(double x) { return x > exp_single_limit ? refuse(err::overflow) : std::exp(x); }
kx_float func_exp_float(kx_float x) { return x > exp_float_limit ? refuse(err::overflow) : std::exp(x); }
double func_fix_double(double x) { return std::trunc(x); }
kx_float func_fix_float(kx_float x) { return std::trunc(x); }

kx_float pow2(kx_float base, kx_float power) {
  if (base < 0 && power != std::floor(power)) return refuse(err::illegal_function_call);
  return std::pow(base, power);
}

double func_pi(double n, int32_t given) { return given ? pi * n : pi; }
double func_deg2rad(double x) { return x * degrees_to_radians; }
double func_rad2deg(double x) { return x * radians_to_degrees; }
double func_deg2grad(double x) { return x * degrees_to_gradians; }
double func_grad2deg(double x) { return x * gradians_to_degrees; }
double func_rad2grad(double x) { return x * radians_to_gradians; }
double func_grad2rad(double x) { return x * gradians_to_radians; }

double func_sec(double x) { return reciprocal(std::cos(x)); }
double func_csc(double x) { return reciprocal(std::sin(x)); }
double func_cot(double x) { return reciprocal(std::tan(x)); }

double func_arcsec(double x) {
  if (std::fabs(x) < 1) return refuse(err::illegal_function_call);
  return std::acos(1 / x);
}

double func_arccsc(double x) {
  if (std::fabs(x) < 1) return refuse(err::illegal_function_call);
  return std::asin(1 / x);
}

double func_arccot(double x) { return 2 * std::atan(1.0) - std::atan(x); }

// The hyperbolic reciprocals: large arguments of either sign give values
// that are merely tiny (0 once cosh or sinh overflows), never an error.
double func_sech(double x) { return 1 / std::cosh(x); }

double func_csch(double x) {
  if (x == 0) return refuse(err::illegal_function_call);
  return 1 / std::sinh(x);
}

double func_coth(double x) {
  if (x == 0) return refuse(err::illegal_function_call);
  return 1 / std::tanh(x);
}
