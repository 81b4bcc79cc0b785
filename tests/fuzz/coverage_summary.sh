#!/bin/sh
# Edge and function coverage per source file of a fuzz target over a corpus, from libFuzzer's own
# counters. Usage: coverage_summary.sh FUZZER CORPUS FILE_PATTERN [libFuzzer flags]
bin=$1; corpus=$2; pat=$3; shift 3
timeout 300 $bin -runs=0 -print_coverage=1 "$@" $corpus 2>&1 | grep -E "^(UN)?COVERED_FUNC" | grep -E "$pat" | awk '
{ for(i=1;i<=NF;i++) if($i=="edges:") e=$(i+1); split(e,a,"/"); f=$NF; sub(/:[0-9]+$/,"",f); n=split(f,p,"/"); f=p[n];
  cov[f]+=a[1]; tot[f]+=a[2]; if($1=="COVERED_FUNC:") fc[f]++; fn[f]++ }
END { for (f in tot) printf "%s: edges %d/%d (%.0f%%), functions %d/%d\n", f, cov[f], tot[f], 100*cov[f]/tot[f], fc[f], fn[f] }'
