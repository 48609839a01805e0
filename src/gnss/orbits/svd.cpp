#include "gnss/orbits/svd.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace velarix {

namespace {

constexpr double kEpsilon = std::numeric_limits<double>::epsilon();

// Householder reflector H = I + tau v v^T on a stretch of a vector; it maps the stretch it
// was made from onto (alpha, 0, ..., 0). tau = 0 is the identity (the stretch was zero).
struct Reflector {
    std::vector<double> v;
    double tau = 0.0;
    double alpha = 0.0;
};

Reflector makeReflector(std::vector<double> x) {
    Reflector h;
    double scale = 0.0;  // guards the sum of squares against overflow and underflow
    for (double xi : x) {
        if (!(std::abs(xi) <= scale)) scale = std::abs(xi);  // a NaN must spread, not vanish
    }
    if (scale != 0.0) {
        double sum = 0.0;
        for (double xi : x) sum += (xi / scale) * (xi / scale);
        const double norm = scale * std::sqrt(sum);
        h.alpha = x[0] > 0.0 ? -norm : norm;  // the sign that avoids cancellation in v[0]
        x[0] -= h.alpha;
        h.tau = 1.0 / (h.alpha * x[0]);
    }
    h.v = std::move(x);
    return h;
}

// Applies `h` to the stretch whose i-th entry is at(i).
template <typename Entry>
void reflect(const Reflector& h, Entry at) {
    if (h.tau == 0.0) return;
    double dot = 0.0;
    for (size_t i = 0; i < h.v.size(); ++i) dot += h.v[i] * at(i);
    const double factor = h.tau * dot;
    for (size_t i = 0; i < h.v.size(); ++i) at(i) += factor * h.v[i];
}

// (m(:, p), m(:, q)) <- (c m(:, p) + s m(:, q), -s m(:, p) + c m(:, q)). The same
// rotation applied to B on the right (columns) or on the left (rows) keeps U B V^T.
void rotateColumns(Matrix& m, int p, int q, double c, double s) {
    for (int r = 0; r < m.rows; ++r) {
        const double mp = m(r, p);
        const double mq = m(r, q);
        m(r, p) = c * mp + s * mq;
        m(r, q) = -s * mp + c * mq;
    }
}

// Cosine and sine that turn (a, b) into (hypot(a, b), 0).
void givens(double a, double b, double& c, double& s, double& r) {
    r = std::hypot(a, b);
    c = r != 0.0 ? a / r : 1.0;
    s = r != 0.0 ? b / r : 0.0;
}

// The bidiagonal B: diagonal d[0..n-1], superdiagonal f[k] = B(k, k+1) (f[n-1] = 0).
struct Bidiagonal {
    std::vector<double> d;
    std::vector<double> f;
};

// A = U B V^T by Householder reflections alternately from the left (zeroing below the
// diagonal) and the right (zeroing right of the superdiagonal).
Bidiagonal bidiagonalise(const Matrix& a, Matrix& u, Matrix& v) {
    const int m = a.rows;
    const int n = a.cols;
    Matrix work = a;
    std::vector<Reflector> left(n), right(n);
    Bidiagonal b{std::vector<double>(n, 0.0), std::vector<double>(n, 0.0)};
    for (int k = 0; k < n; ++k) {
        std::vector<double> column(m - k);
        for (int i = k; i < m; ++i) column[i - k] = work(i, k);
        left[k] = makeReflector(std::move(column));
        b.d[k] = left[k].alpha;
        for (int j = k + 1; j < n; ++j) reflect(left[k], [&](size_t i) -> double& { return work(k + i, j); });
        if (k + 1 == n) break;
        std::vector<double> row(n - k - 1);
        for (int j = k + 1; j < n; ++j) row[j - k - 1] = work(k, j);
        right[k] = makeReflector(std::move(row));
        b.f[k] = right[k].alpha;
        for (int r = k + 1; r < m; ++r) reflect(right[k], [&](size_t i) -> double& { return work(r, k + 1 + i); });
    }
    // U = H0 H1 ... H(n-1) applied to the first n columns of the identity, V = P0 ... P(n-2).
    u = Matrix(m, n);
    for (int i = 0; i < n; ++i) u(i, i) = 1.0;
    for (int k = n - 1; k >= 0; --k) {
        for (int j = k; j < n; ++j) reflect(left[k], [&](size_t i) -> double& { return u(k + i, j); });
    }
    v = Matrix(n, n);
    for (int i = 0; i < n; ++i) v(i, i) = 1.0;
    for (int k = n - 2; k >= 0; --k) {
        for (int j = k + 1; j < n; ++j) reflect(right[k], [&](size_t i) -> double& { return v(k + 1 + i, j); });
    }
    return b;
}

// B(p, p) is negligible: rotations of rows p and i = p+1..k (from the left) carry row p's
// superdiagonal entry off the end of the block, so that the block splits at p.
void clearRow(Bidiagonal& b, int p, int k, double tolerance, Matrix& u) {
    double carried = b.f[p];  // B(p, i)
    b.f[p] = 0.0;
    for (int i = p + 1; i <= k && std::abs(carried) > tolerance; ++i) {
        double c, s, r;
        givens(b.d[i], carried, c, s, r);
        b.d[i] = r;
        rotateColumns(u, i, p, c, s);
        if (i < k) {
            carried = -s * b.f[i];
            b.f[i] *= c;
        }
    }
}

// One implicit-shift QR sweep over the unreduced block l..k (Golub-Kahan step): the
// Wilkinson shift from the trailing 2 x 2 of B^T B, then the bulge chased down the block.
void qrSweep(Bidiagonal& b, int l, int k, Matrix& u, Matrix& v) {
    std::vector<double>& d = b.d;
    std::vector<double>& f = b.f;
    const double t11 = d[k - 1] * d[k - 1] + (k - 1 > l ? f[k - 2] * f[k - 2] : 0.0);
    const double t12 = d[k - 1] * f[k - 1];
    const double t22 = d[k] * d[k] + f[k - 1] * f[k - 1];
    const double half = 0.5 * (t11 - t22);
    const double root = std::hypot(half, t12);
    const double denominator = half + (half >= 0.0 ? root : -root);
    const double shift = denominator != 0.0 ? t22 - t12 * t12 / denominator : t22;

    double y = d[l] * d[l] - shift;
    double z = d[l] * f[l];
    for (int j = l; j < k; ++j) {
        double c, s, r;
        // From the right, on columns j and j+1: zeroes z against y (the bulge above the block's
        // superdiagonal, or the shifted first column at j = l); makes a bulge B(j+1, j).
        givens(y, z, c, s, r);
        if (j > l) f[j - 1] = r;
        const double dj = c * d[j] + s * f[j];
        f[j] = -s * d[j] + c * f[j];
        d[j] = dj;
        const double below = s * d[j + 1];
        d[j + 1] *= c;
        rotateColumns(v, j, j + 1, c, s);
        // From the left, on rows j and j+1: zeroes that bulge; makes one at B(j, j+2).
        givens(d[j], below, c, s, r);
        d[j] = r;
        const double fj = c * f[j] + s * d[j + 1];
        d[j + 1] = -s * f[j] + c * d[j + 1];
        f[j] = fj;
        rotateColumns(u, j, j + 1, c, s);
        if (j + 1 < k) {
            y = f[j];
            z = s * f[j + 1];
            f[j + 1] *= c;
        }
    }
}

}  // namespace

std::string DecomposeSvd(const Matrix& a, SingularValueDecomposition& svd) {
    if (a.rows < a.cols) return kSvdTooFewRows;
    const int n = a.cols;
    Bidiagonal b = bidiagonalise(a, svd.u, svd.v);

    double norm = 0.0;
    for (int i = 0; i < n; ++i) norm = std::max(norm, std::abs(b.d[i]) + std::abs(b.f[i]));
    const double tolerance = kEpsilon * norm;  // entries below it are treated as zero

    // Singular values from the bottom up: split off negligible superdiagonal entries, clear
    // rows with a negligible diagonal entry, sweep until the last superdiagonal entry vanishes.
    for (int k = n - 1; k >= 0; --k) {
        for (int sweeps = 0;; ++sweeps) {
            int l = k;
            for (; l > 0; --l) {
                if (std::abs(b.f[l - 1]) <= tolerance) {
                    b.f[l - 1] = 0.0;
                    break;
                }
                if (std::abs(b.d[l - 1]) <= tolerance) {
                    clearRow(b, l - 1, k, tolerance, svd.u);
                    break;
                }
            }
            if (l == k) break;
            if (sweeps == kSvdMaxIterations) return kSvdNoConvergence;
            qrSweep(b, l, k, svd.u, svd.v);
        }
        if (b.d[k] < 0.0) {
            b.d[k] = -b.d[k];
            for (int r = 0; r < n; ++r) svd.v(r, k) = -svd.v(r, k);
        }
    }
    svd.w = std::move(b.d);
    return "";
}

std::vector<double> SolveSvd(const SingularValueDecomposition& svd, std::span<const double> b) {
    const int m = svd.u.rows;
    const int n = svd.u.cols;
    if (b.size() != static_cast<size_t>(m)) return {};
    double largest = 0.0;
    for (double w : svd.w) largest = std::max(largest, w);
    const double threshold = std::max(m, n) * kEpsilon * largest;

    std::vector<double> coefficients(n, 0.0);  // diag(1/w) U^T b
    for (int j = 0; j < n; ++j) {
        if (!(svd.w[j] > threshold)) continue;
        double dot = 0.0;
        for (int i = 0; i < m; ++i) dot += svd.u(i, j) * b[i];
        coefficients[j] = dot / svd.w[j];
    }
    std::vector<double> x(n, 0.0);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) x[i] += svd.v(i, j) * coefficients[j];
    }
    return x;
}

}  // namespace velarix
