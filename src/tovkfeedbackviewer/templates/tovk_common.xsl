<?xml version="1.0" encoding="UTF-16"?>
<!-- Parts shared by the questionnaire and access-log views. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
	<xsl:output method="html" encoding="UTF-16" doctype-public="-//W3C//DTD HTML 4.01 Transitional//EN"/>

	<xsl:variable name="dispLang">
		<xsl:choose>
			<xsl:when test="/table/@sysLanguage = 'Japanese'">Japanese</xsl:when>
			<xsl:otherwise>English</xsl:otherwise>
		</xsl:choose>
	</xsl:variable>
	<xsl:variable name="messages" select="document('tovk_define.xml')/tovk_define/msglist[@lang = $dispLang]"/>
	<xsl:variable name="buttonWrap" select="10"/>
	<xsl:variable name="listLimit">
		<xsl:choose>
			<xsl:when test="number(/table/@listLimit) &gt; 0"><xsl:value-of select="number(/table/@listLimit)"/></xsl:when>
			<xsl:otherwise>1000</xsl:otherwise>
		</xsl:choose>
	</xsl:variable>
	<xsl:variable name="total" select="count(/table/table_data)"/>
	<xsl:variable name="listStart" select="number(/table/@listStart)"/>
	<xsl:variable name="listEnd" select="number(/table/@listEnd)"/>
	<xsl:variable name="inRange" select="string(/table/@listStart) != ''"/>

	<xsl:template name="TopLink">
		<div class="toplink">
			<xsl:choose>
				<xsl:when test="$dispLang = 'Japanese'"><a href="../index_jp.html">トップ画面へ</a></xsl:when>
				<xsl:otherwise><a href="../index_en.html">Top</a></xsl:otherwise>
			</xsl:choose>
		</div>
	</xsl:template>

	<!-- Each CR LF of the text becomes a line break. -->
	<xsl:template name="br-replace">
		<xsl:param name="text"/>
		<xsl:variable name="plain" select="translate($text, '&#13;', '')"/>
		<xsl:choose>
			<xsl:when test="contains($plain, '&#10;')">
				<xsl:value-of select="substring-before($plain, '&#10;')"/>
				<br/>
				<xsl:call-template name="br-replace">
					<xsl:with-param name="text" select="substring-after($plain, '&#10;')"/>
				</xsl:call-template>
			</xsl:when>
			<xsl:otherwise><xsl:value-of select="$plain"/></xsl:otherwise>
		</xsl:choose>
	</xsl:template>

	<xsl:template name="msg-replace">
		<xsl:param name="label"/>
		<xsl:variable name="msg" select="$messages/msg[@label = $label]"/>
		<xsl:choose>
			<xsl:when test="$msg">
				<xsl:call-template name="br-replace">
					<xsl:with-param name="text" select="$msg/@value"/>
				</xsl:call-template>
			</xsl:when>
			<xsl:otherwise><font color="red">--未実装--</font></xsl:otherwise>
		</xsl:choose>
	</xsl:template>

	<xsl:template name="print-exp">
		<xsl:param name="text"/>
		<p class="exp"><xsl:copy-of select="$text"/></p>
	</xsl:template>

	<xsl:template name="print-title">
		<xsl:param name="label"/>
		<h1 class="title">
			<xsl:call-template name="msg-replace">
				<xsl:with-param name="label" select="$label"/>
			</xsl:call-template>
		</h1>
	</xsl:template>

	<!-- TOTAL and one LIST button per step of the list limit. -->
	<xsl:template name="list-buttons">
		<xsl:param name="inTotal" select="false()"/>
		<div class="buttons">
			<input type="button" class="total" value="TOTAL" onclick="onTotal()">
				<xsl:if test="$inTotal"><xsl:attribute name="disabled">disabled</xsl:attribute></xsl:if>
			</input>
			<xsl:call-template name="list-button">
				<xsl:with-param name="first" select="1"/>
				<xsl:with-param name="n" select="0"/>
			</xsl:call-template>
		</div>
	</xsl:template>

	<xsl:template name="list-button">
		<xsl:param name="first"/>
		<xsl:param name="n"/>
		<xsl:if test="$first &lt;= $total">
			<xsl:variable name="last">
				<xsl:choose>
					<xsl:when test="$first + $listLimit - 1 &lt; $total"><xsl:value-of select="$first + $listLimit - 1"/></xsl:when>
					<xsl:otherwise><xsl:value-of select="$total"/></xsl:otherwise>
				</xsl:choose>
			</xsl:variable>
			<xsl:if test="$n &gt; 0 and $n mod $buttonWrap = 0"><br/></xsl:if>
			<input type="button" class="list" onclick="onList({$first},{$last})">
				<xsl:attribute name="value">
					<xsl:choose>
						<xsl:when test="$first = $last">LIST <xsl:value-of select="$first"/></xsl:when>
						<xsl:otherwise>LIST <xsl:value-of select="$first"/> ～ <xsl:value-of select="$last"/></xsl:otherwise>
					</xsl:choose>
				</xsl:attribute>
				<xsl:if test="$inRange and $listStart = $first and ($listEnd = $last or ($listEnd = 0 and $last = $total))">
					<xsl:attribute name="disabled">disabled</xsl:attribute>
				</xsl:if>
			</input>
			<xsl:call-template name="list-button">
				<xsl:with-param name="first" select="$first + $listLimit"/>
				<xsl:with-param name="n" select="$n + 1"/>
			</xsl:call-template>
		</xsl:if>
	</xsl:template>

	<!-- One radio button per language name in $langs (nodes carrying the name as text). -->
	<xsl:template name="language-buttons">
		<xsl:param name="langs"/>
		<xsl:param name="current"/>
		<xsl:param name="label"/>
		<xsl:if test="number(/table/langs/@num) &gt; 1 and count($langs) &gt; 0">
			<table class="langButton"><tr>
				<td><xsl:call-template name="msg-replace"><xsl:with-param name="label" select="$label"/></xsl:call-template></td>
				<td>
					<xsl:for-each select="$langs">
						<input type="radio" class="radio" name="lang" value="{.}" onclick="onChangeLang('{.}')">
							<xsl:if test=". = $current"><xsl:attribute name="checked">checked</xsl:attribute></xsl:if>
						</input>
						<xsl:call-template name="msg-replace"><xsl:with-param name="label" select="string(.)"/></xsl:call-template>
					</xsl:for-each>
				</td>
			</tr></table>
		</xsl:if>
	</xsl:template>

	<xsl:template name="percent">
		<xsl:param name="count"/>
		<xsl:choose>
			<xsl:when test="$total &gt; 0"><xsl:value-of select="format-number($count div $total, '0.0%')"/></xsl:when>
			<xsl:otherwise>0.0%</xsl:otherwise>
		</xsl:choose>
	</xsl:template>

	<xsl:template name="graph-row">
		<xsl:param name="label"/>
		<xsl:param name="count"/>
		<xsl:param name="class" select="'enq'"/>
		<xsl:variable name="rate"><xsl:call-template name="percent"><xsl:with-param name="count" select="$count"/></xsl:call-template></xsl:variable>
		<tr>
			<td class="{$class}"><xsl:copy-of select="$label"/></td>
			<td class="graph"><span class="bar" style="width:{$rate}"></span></td>
			<td class="total"><xsl:value-of select="$count"/> / <xsl:value-of select="$total"/></td>
			<td class="rate"><span class="percent"><xsl:value-of select="$rate"/></span></td>
		</tr>
	</xsl:template>
</xsl:stylesheet>
