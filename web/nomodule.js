// SPDX-License-Identifier: MIT
// Runs only in a browser too old for JavaScript modules, which the calculator needs.
document.getElementById('status').textContent =
  'The calculator could not start: this browser does not run JavaScript modules.';
