#pragma once
// The mathematical functions that carry their own checks, the power
// operator and the angle conversions. Each check raises its error and
// returns 0; none stops the program.
#include <cstdint>

#include "values/rounding.h"

double func_log(double x);  // x <= 0: error 5
double func_sqr(double x);  // x < 0: error 5
double func_exp_single(double x);  // x > 88.02969: error 6
kx_float func_exp_float(kx_float x);  // x > 709.782712893: error 6
double func_fix_double(double x);
kx_float func_fix_float(kx_float x);
// base ^ power: a negative base with a power that is not whole is error 5.
kx_float pow2(kx_float base, kx_float power);

// _PI [(n)]: pi times n, or pi.
double func_pi(double n, int32_t given);
double func_deg2rad(double x);
double func_rad2deg(double x);
double func_deg2grad(double x);
double func_grad2deg(double x);
double func_rad2grad(double x);
double func_grad2rad(double x);

double func_sec(double x);
double func_csc(double x);
double func_cot(double x);
double func_arcsec(double x);  // |x| < 1: error 5
double func_arccsc(double x);  // |x| < 1: error 5
double func_arccot(double x);
double func_sech(double x);
double func_csch(double x);  // x = 0: error 5
double func_coth(double x);  // x = 0: error 5
