placeholder enq.xsl
