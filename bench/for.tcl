# FOR loop summing into a variable.
proc main {n} {
  set total 0
  for {set i 1} {$i <= $n} {incr i} { set total [expr {$total + $i}] }
  puts $total
}
main [lindex $argv 0]
