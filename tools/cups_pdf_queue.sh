#!/usr/bin/env bash
# Sets up a CUPS queue that prints into PDF files (the cups-pdf driver), for the test that sends
# a page through a real queue. Starts the CUPS scheduler when it is not running. Prints the
# two variables the test reads (PLOTVUE_CUPS_PDF_QUEUE, PLOTVUE_CUPS_PDF_DIR) as shell
# assignments; prints nothing and fails when CUPS or the driver cannot be had.
set -u
queue=PLOTVUE_PDF
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
command -v cupsd >/dev/null && command -v lpadmin >/dev/null && [ -f "$ppd" ] || exit 1
if ! lpstat -r >/dev/null 2>&1; then
  cupsd >/dev/null 2>&1 || exit 1
  for _ in $(seq 50); do lpstat -r >/dev/null 2>&1 && break; sleep 0.1; done
fi
lpstat -r >/dev/null 2>&1 || exit 1
lpstat -p "$queue" >/dev/null 2>&1 || lpadmin -p "$queue" -E -v cups-pdf:/ -P "$ppd" >/dev/null 2>&1 || exit 1
# cups-pdf writes the jobs of a local user into that user's PDF folder.
out=$(sed -n 's/^Out[[:space:]]*//p' /etc/cups/cups-pdf.conf 2>/dev/null | tail -n 1)
out=${out:-'${HOME}/PDF'}
out=${out//'${HOME}'/$HOME}
echo "PLOTVUE_CUPS_PDF_QUEUE=$queue"
echo "PLOTVUE_CUPS_PDF_DIR=$out"
